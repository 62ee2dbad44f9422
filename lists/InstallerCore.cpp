#include "lists/InstallerCore.h"

CInstallerCore::CInstallerCore(CInstallerWindow& window)
    : m_astrPicture(kMaxPictures), m_window(window) {}

CInstallerCore::~CInstallerCore() = default;
