#include <core/SettingsStore.h>
