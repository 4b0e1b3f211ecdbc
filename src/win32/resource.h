#pragma once
// Resource ids shared by the resource script and the code.
#define IDI_RELAYDECK 1
#define IDB_SPLASH 101
