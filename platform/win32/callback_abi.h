// Windows calls the dial-up notifier with the WINAPI convention.
#pragma once

#define RASDIAL_CALLBACK __stdcall
