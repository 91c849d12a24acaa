// Stand-in until the plugin manager is built here: no action ever runs.
#include "plugins/QuorvallisPluginsManager.h"

bool QuorvallisPluginsManager::PerformPluginAction(const std::wstring&, ArgumentList&) const { return false; }
