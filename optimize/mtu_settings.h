// The MTU of the first network adapter, in the registry as Windows 9x keeps it.
#pragma once

// True when the adapter's value "IPMTU" can be read.
bool CheckMtuValue();
// Writes the MTU to the adapter key and to its parameter key, both always
// attempted; true when both writes went through.
bool WriteMtuValues();
