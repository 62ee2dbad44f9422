#pragma once

#include "opponents/CarRecord.h"

#include <cstddef>
#include <vector>

// One change to a list: a record put in at an index or taken out from it. The step keeps its own
// copy of the record, so only the records a step touched are kept, however long the history.
struct ListChange {
    bool bAvailable = false;
    int nIndex = 0;
    bool bInserted = false; // false: taken out
    // Stands for a car file that was written: undo leaves it listed, since the file stays, and
    // the step drops it then, so that redo does not list it twice.
    bool bKept = false;
    CarRecord record;
};

// Both list boxes' selections, -1 for none.
struct ListSelections {
    int nAvailable = -1;
    int nInstalled = -1;
};

// What one command changed, and the selections before and after it.
struct UndoStep {
    std::vector<ListChange> aChanges;
    ListSelections before;
    ListSelections after;
};

// The session's steps in order. Those before the position are done and can be undone; those from
// the position on were undone and can be redone, until a new step drops them.
class CUndoHistory {
public:
    [[nodiscard]] bool CanUndo() const { return m_nDone > 0; }
    [[nodiscard]] bool CanRedo() const { return m_nDone < m_aSteps.size(); }

    void Push(UndoStep step) {
        m_aSteps.resize(m_nDone);
        m_aSteps.push_back(std::move(step));
        m_nDone = m_aSteps.size();
    }
    // The step to undo, counted as undone; null when there is none.
    UndoStep* Undo() { return CanUndo() ? &m_aSteps[--m_nDone] : nullptr; }
    // The step to redo, counted as done; null when there is none.
    UndoStep* Redo() { return CanRedo() ? &m_aSteps[m_nDone++] : nullptr; }
    void Clear() {
        m_aSteps.clear();
        m_nDone = 0;
    }

private:
    std::vector<UndoStep> m_aSteps;
    std::size_t m_nDone = 0;
};
