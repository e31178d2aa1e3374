// The native test calls the dial-up notifier as a plain function.
#pragma once

#define RASDIAL_CALLBACK
