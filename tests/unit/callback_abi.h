// The native tests call the dial-up notifier as a plain function.
#pragma once

#define RASDIAL_CALLBACK
