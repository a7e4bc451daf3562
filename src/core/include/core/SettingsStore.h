// The per-user settings store: the registry key of the program's defaults.
#pragma once
