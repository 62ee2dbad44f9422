#include "lists/InstallerCore.h"

CInstallerCore::CInstallerCore(CInstallerWindow& window) : m_pictures(window), m_window(window) {}

CInstallerCore::~CInstallerCore() = default;
