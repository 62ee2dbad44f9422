#include "lists/InstallerCore.h"
#include "lists/ResourceIds.h"

#include <algorithm>
#include <exception>
#include <utility>

CInstallerCore::CStep::CStep(CInstallerCore& core)
    : m_core(core), m_nExceptions(std::uncaught_exceptions()) {
    if (m_core.m_nStepDepth++ > 0)
        return;
    m_core.m_pOpenStep = std::make_unique<UndoStep>();
    m_core.m_pOpenStep->before = m_core.Selections();
}

CInstallerCore::CStep::~CStep() {
    if (--m_core.m_nStepDepth > 0)
        return;
    const std::unique_ptr<UndoStep> pStep = std::move(m_core.m_pOpenStep);
    if (std::uncaught_exceptions() > m_nExceptions) {
        // A command that failed half-way leaves the lists as they were. A kept change stands
        // for a file that was written, so it stays listed.
        for (auto it = pStep->aChanges.rbegin(); it != pStep->aChanges.rend(); ++it)
            if (!it->bKept)
                m_core.Replay(*it, false);
        m_core.SelectAndShow(pStep->before);
        return;
    }
    if (pStep->aChanges.empty())
        return;
    pStep->after = m_core.Selections();
    m_core.m_history.Push(std::move(*pStep));
}

void CInstallerCore::KeepLastChange() {
    if (m_pOpenStep && !m_pOpenStep->aChanges.empty())
        m_pOpenStep->aChanges.back().bKept = true;
}

void CInstallerCore::Undo() {
    UndoStep* pStep = m_history.Undo();
    if (pStep == nullptr)
        return;
    auto& aChanges = pStep->aChanges;
    for (auto it = aChanges.rbegin(); it != aChanges.rend(); ++it)
        if (!it->bKept)
            Replay(*it, false);
    // The written car file stays, and so does its line; redo then does the rest only.
    std::erase_if(aChanges, [](const ListChange& change) { return change.bKept; });
    SelectAndShow(pStep->before);
}

void CInstallerCore::Redo() {
    const UndoStep* pStep = m_history.Redo();
    if (pStep == nullptr)
        return;
    for (const ListChange& change : pStep->aChanges)
        Replay(change, true);
    SelectAndShow(pStep->after);
}

void CInstallerCore::Replay(const ListChange& change, bool bForward) {
    if (change.bInserted == bForward)
        InsertEntry(change.nIndex, std::make_unique<CarRecord>(change.record), change.bAvailable);
    else
        RemoveEntry(change.nIndex, change.bAvailable);
}

ListSelections CInstallerCore::Selections() const {
    return {m_window.GetCurSel(IDC_AVAILABLE), m_window.GetCurSel(IDC_INSTALLED)};
}

void CInstallerCore::SelectAndShow(const ListSelections& selections) {
    const auto inRange = [](int nIndex, int nCount) { return nIndex < nCount ? nIndex : -1; };
    m_window.SetCurSel(IDC_AVAILABLE, inRange(selections.nAvailable, m_nAvailable));
    m_window.SetCurSel(IDC_INSTALLED, inRange(selections.nInstalled, m_nInstalled));
    ShowAvailable();
    ShowInstalled();
}

void CInstallerCore::RestoreInstalled(std::vector<std::unique_ptr<CarRecord>> apRecords) {
    if (apRecords.size() > static_cast<std::size_t>(kMaxCars)) {
        m_window.ReportError("That list holds more than " + std::to_string(kMaxCars) +
                             " opponents, more than the installed list can hold. Nothing was "
                             "changed.");
        return;
    }
    const CStep step(*this);
    // From the end, so that no record is moved along the list.
    while (m_nInstalled > 0)
        RemoveEntry(m_nInstalled - 1, false);
    for (std::unique_ptr<CarRecord>& pRecord : apRecords)
        AddEntry(std::move(pRecord), false);
}
