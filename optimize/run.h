// The optimization run behind the Start button.
#pragma once

// Ten timed stages: checks the MTU value, writes the MTU, places and hangs up
// the test call. False when the check or a write failed; errors of the test
// call are not part of the result.
bool RunOptimization();
