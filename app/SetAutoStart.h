#pragma once

// Turns starting with the user's session on or off and records in "Systime/OpenAutoStart"
// whether the entry is really there afterwards. True when the requested state was reached.
bool SetAutoStart(bool on);
