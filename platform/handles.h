// The Windows handle types that the portable code passes around without
// looking inside. Declared as <windows.h> declares them, so both agree.
#pragma once

typedef struct HWND__* HWND;
typedef struct HKEY__* HKEY;
typedef struct HRASCONN__* HRASCONN;
