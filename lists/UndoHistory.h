#pragma once

#include "lists/Commands.h"
#include "opponents/CarRecord.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// A record of a list. Records never change once listed, so the undo history shares them with the
// lists instead of copying them.
using CarPtr = std::shared_ptr<const CarRecord>;

// What undo and redo put back: the installed list, both selections (-1 for none) and whether the
// installed list may be written. The available list only grows during a session (a car exported
// stays listed, as its file stays), so it is not part of it.
struct ListSnapshot {
    std::vector<CarPtr> apInstalled;
    Selection selAvailable;
    Selection selInstalled;
    bool bWhole = false;
};

// What one command changed, and what the Undo and Redo items call it ("Install 12 Cars").
struct UndoStep {
    ListSnapshot before;
    ListSnapshot after;
    std::string strName;
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
    // The steps undo and redo would take, without taking them; null when there is none.
    [[nodiscard]] const UndoStep* NextUndo() const {
        return CanUndo() ? &m_aSteps[m_nDone - 1] : nullptr;
    }
    [[nodiscard]] const UndoStep* NextRedo() const {
        return CanRedo() ? &m_aSteps[m_nDone] : nullptr;
    }
    // The step to undo, counted as undone; null when there is none.
    const UndoStep* Undo() { return CanUndo() ? &m_aSteps[--m_nDone] : nullptr; }
    // The step to redo, counted as done; null when there is none.
    const UndoStep* Redo() { return CanRedo() ? &m_aSteps[m_nDone++] : nullptr; }
    void Clear() {
        m_aSteps.clear();
        m_nDone = 0;
    }

private:
    std::vector<UndoStep> m_aSteps;
    std::size_t m_nDone = 0;
};
