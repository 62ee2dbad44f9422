#include "lists/InstallerCore.h"

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
        m_history.Push({before, Snapshot()});
    return change;
}

int CInstallerCore::GetCount(CarList list) const {
    return static_cast<int>(State(list).apCars.size());
}

const CarRecord& CInstallerCore::GetCar(CarList list, int nIndex) const {
    return *State(list).apCars.at(static_cast<std::size_t>(nIndex));
}

int CInstallerCore::GetSelection(CarList list) const {
    return State(list).nSelection;
}

const std::string& CInstallerCore::GetShownInfo(CarList list) const {
    return State(list).strShownInfo;
}

int CInstallerCore::GetShownImage(CarList list) const {
    return State(list).nShownImage;
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
    if (state.nSelection >= nIndex)
        ++state.nSelection;
}

void CInstallerCore::RemoveEntry(CarList list, int nIndex) {
    CarListState& state = State(list);
    state.apCars.erase(state.apCars.begin() + nIndex);
    if (state.nSelection == nIndex)
        state.nSelection = -1;
    else if (state.nSelection > nIndex)
        --state.nSelection;
}

void CInstallerCore::ClearLists() {
    for (CarListState* pState : {&m_available, &m_installed}) {
        pState->apCars.clear();
        pState->nSelection = -1;
    }
}

void CInstallerCore::SelectAndShow(CarList list, int nIndex) {
    CarListState& state = State(list);
    state.nSelection = nIndex >= 0 && nIndex < GetCount(list) ? nIndex : -1;
    list == CarList::Available ? ShowAvailable() : ShowInstalled();
}

void CInstallerCore::ShowInstalled() {
    const int s = m_installed.nSelection;
    if (s < 0)
        return; // the description and picture keep what they showed
    const CarRecord& car = *m_installed.apCars[static_cast<std::size_t>(s)];
    m_installed.strShownInfo = car.m_strInfo;
    if (car.m_nImage != -1)
        m_installed.nShownImage = car.m_nImage;
}

void CInstallerCore::ShowAvailable() {
    const int s = m_available.nSelection;
    if (s < 0)
        return;
    const CarRecord& car = *m_available.apCars[static_cast<std::size_t>(s)];
    m_available.strShownInfo = car.m_strInfo;
    if (car.m_nImage != -1)
        m_available.nShownImage = car.m_nImage;
}

ListSnapshot CInstallerCore::Snapshot() const {
    return {m_installed.apCars, m_available.nSelection, m_installed.nSelection, m_bLoaded};
}

void CInstallerCore::PutBack(const ListSnapshot& snapshot) {
    m_installed.apCars = snapshot.apInstalled;
    m_bLoaded = snapshot.bWhole;
    SelectAndShow(CarList::Available, snapshot.nSelAvailable);
    SelectAndShow(CarList::Installed, snapshot.nSelInstalled);
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
