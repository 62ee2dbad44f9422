#include "lists/InstallerCore.h"
#include "lists/Thousands.h"

#include <algorithm>
#include <type_traits>

namespace {

// The lines that differ between two versions of a list: the run between the longest common
// beginning and the longest common end. Records are compared by identity, as a changed car is a
// new record.
LineChange ChangedLines(const std::vector<CarPtr>& apOld, const std::vector<CarPtr>& apNew) {
    const auto nOld = static_cast<int>(apOld.size());
    const auto nNew = static_cast<int>(apNew.size());
    int nFirst = 0;
    while (nFirst < nOld && nFirst < nNew && apOld[nFirst] == apNew[nFirst])
        ++nFirst;
    int nSame = 0;
    while (nSame < nOld - nFirst && nSame < nNew - nFirst &&
           apOld[nOld - 1 - nSame] == apNew[nNew - 1 - nSame])
        ++nSame;
    return {nFirst, nOld - nSame, nNew - nSame};
}

// Commands that are steps of the history; the others change only what is selected, or start
// the history afresh, or move in it.
template <typename T>
constexpr bool kIsStep =
    !std::is_same_v<T, command::Select> && !std::is_same_v<T, command::TypeAhead> &&
    !std::is_same_v<T, command::Undo> && !std::is_same_v<T, command::Redo> &&
    !std::is_same_v<T, command::Load> && !std::is_same_v<T, command::Clear>;

} // namespace

CInstallerCore::CInstallerCore(CInstallerWindow& window, CPictureSink& pictures)
    : m_window(window), m_pictures(pictures) {}

ModelChange CInstallerCore::Apply(ListCommand command) {
    // Copies of the lists share their records: a few thousand pointers.
    const CarListState available = m_available;
    const CarListState installed = m_installed;
    const bool bLoaded = m_bLoaded;
    const ListSnapshot before = Snapshot();
    bool bStep = false;
    m_strStepName.clear();
    try {
        std::visit(
            [&](auto& c) {
                bStep = kIsStep<std::decay_t<decltype(c)>>;
                Do(c);
            },
            command);
    } catch (...) {
        m_available = available;
        m_installed = installed;
        m_bLoaded = bLoaded;
        throw;
    }
    // Whether a shown car has a picture is known only once it is drawn: each picture shown is
    // noted.
    if (m_available.nShownImage != available.nShownImage)
        m_shownAvailable.Show(m_available.nShownImage);
    if (m_installed.nShownImage != installed.nShownImage)
        m_shownInstalled.Show(m_installed.nShownImage);
    ModelChange change{ChangedLines(available.apCars, m_available.apCars),
                       ChangedLines(installed.apCars, m_installed.apCars)};
    // A command that changed no list records nothing.
    if (bStep && (change.available.Any() || change.installed.Any() || bLoaded != m_bLoaded))
        m_history.Push({before, Snapshot(), m_strStepName});
    return change;
}

int CInstallerCore::GetCount(CarList list) const {
    return static_cast<int>(State(list).apCars.size());
}

const CarRecord& CInstallerCore::GetCar(CarList list, int nIndex) const {
    return *State(list).apCars.at(static_cast<std::size_t>(nIndex));
}

const Selection& CInstallerCore::GetSelection(CarList list) const {
    return State(list).selection;
}

const std::string& CInstallerCore::GetShownInfo(CarList list) const {
    return State(list).strShownInfo;
}

int CInstallerCore::GetShownImage(CarList list) const {
    return State(list).nShownImage;
}

std::string CInstallerCore::GetUndoName() const {
    const UndoStep* pStep = m_history.NextUndo();
    return pStep != nullptr ? pStep->strName : std::string();
}

std::string CInstallerCore::GetRedoName() const {
    const UndoStep* pStep = m_history.NextRedo();
    return pStep != nullptr ? pStep->strName : std::string();
}

int CInstallerCore::ComposeShownImage(CarList list) {
    return (list == CarList::Available ? m_shownAvailable : m_shownInstalled).Resolve(m_pictures);
}

bool CInstallerCore::HasChanges() const {
    return !std::equal(m_installed.apCars.begin(), m_installed.apCars.end(), m_apLoaded.begin(),
                       m_apLoaded.end(), [](const CarPtr& pA, const CarPtr& pB) {
                           return pA == pB || pA->m_strText == pB->m_strText;
                       });
}

std::vector<RestorableList> CInstallerCore::ReadRestorableLists() {
    return ReadKeptLists(
        [this](const std::string& strFileBase) { return m_pictures.NumberPicture(strFileBase); });
}

void CInstallerCore::InsertEntry(CarList list, int nIndex, CarPtr pCar) {
    CarListState& state = State(list);
    state.apCars.insert(state.apCars.begin() + nIndex, std::move(pCar));
    for (int& nLine : state.selection.anLines)
        if (nLine >= nIndex)
            ++nLine;
    if (state.selection.nCaret >= nIndex)
        ++state.selection.nCaret;
}

void CInstallerCore::RemoveEntry(CarList list, int nIndex) {
    CarListState& state = State(list);
    state.apCars.erase(state.apCars.begin() + nIndex);
    std::vector<int>& anLines = state.selection.anLines;
    anLines.erase(std::remove(anLines.begin(), anLines.end(), nIndex), anLines.end());
    for (int& nLine : anLines)
        if (nLine > nIndex)
            --nLine;
    int& nCaret = state.selection.nCaret;
    nCaret = nCaret == nIndex ? -1 : nCaret > nIndex ? nCaret - 1 : nCaret;
}

void CInstallerCore::ClearLists() {
    for (CarListState* pState : {&m_available, &m_installed}) {
        pState->apCars.clear();
        pState->selection = {};
    }
}

void CInstallerCore::SelectAndShow(CarList list, Selection selection) {
    const int nCount = GetCount(list);
    std::vector<int>& anLines = selection.anLines;
    std::sort(anLines.begin(), anLines.end());
    anLines.erase(std::unique(anLines.begin(), anLines.end()), anLines.end());
    anLines.erase(std::remove_if(anLines.begin(), anLines.end(),
                                 [nCount](int nLine) { return nLine < 0 || nLine >= nCount; }),
                  anLines.end());
    if (selection.nCaret < 0 || selection.nCaret >= nCount)
        selection.nCaret = anLines.empty() ? -1 : anLines.front();
    State(list).selection = std::move(selection);
    Show(list);
}

void CInstallerCore::SelectOnly(CarList list, int nIndex) {
    SelectAndShow(list, nIndex >= 0 && nIndex < GetCount(list) ? Selection{{nIndex}, nIndex}
                                                               : Selection{});
}

void CInstallerCore::Show(CarList list) {
    CarListState& state = State(list);
    if (state.selection.anLines.empty()) {
        // The description and picture keep the car they showed, but no count of a selection
        // that is gone.
        state.strShownInfo = state.strShownCarInfo;
        return;
    }
    const CarRecord& car = *state.apCars[static_cast<std::size_t>(state.selection.nCaret)];
    const std::size_t nSelected = state.selection.anLines.size();
    state.strShownCarInfo = car.m_strInfo;
    state.strShownInfo = nSelected > 1
                             ? WithThousands(nSelected) + " cars selected\r\n" + car.m_strInfo
                             : car.m_strInfo;
    if (car.m_nImage != -1)
        state.nShownImage = car.m_nImage;
}

ListSnapshot CInstallerCore::Snapshot() const {
    return {m_installed.apCars, m_available.selection, m_installed.selection, m_bLoaded};
}

void CInstallerCore::PutBack(const ListSnapshot& snapshot) {
    m_installed.apCars = snapshot.apInstalled;
    m_bLoaded = snapshot.bWhole;
    SelectAndShow(CarList::Available, snapshot.selAvailable);
    SelectAndShow(CarList::Installed, snapshot.selInstalled);
}

void CInstallerCore::Do(command::Undo) {
    if (const UndoStep* pStep = m_history.Undo())
        PutBack(pStep->before);
}

void CInstallerCore::Do(command::Redo) {
    if (const UndoStep* pStep = m_history.Redo())
        PutBack(pStep->after);
}

void CInstallerCore::Do(command::Clear) {
    ClearLists();
    m_apLoaded.clear();
    m_history.Clear();
    // With the lists emptied, Ok would write an empty opponent list.
    m_bLoaded = false;
}
