#include "plugin/plugin.h"

// The configuration dialog is not there yet: configuring the plug-in opens nothing.
void plugin_config()
{
}
