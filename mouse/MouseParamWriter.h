#pragma once
// Writers of the mouse settings hand-over file "MouseParamConfig.ini": each sets the keys of one
// change, then closes the file, so that the file is complete on disk before the caller emits
// the change code that makes the mouse's worker read it back.
//
// Booleans are written as 1 and 0 (one of the workers reads them as integers), and every
// change also names the current mouse under "Zr_Mouse/MouseName": the second-family worker
// drops a change that names another mouse.
#include <QString>

namespace MouseParamWriter {

// Mouse change codes.
enum Code : unsigned char {
    SleepCode = 1,
    ReportRateCode = 2,
    MotionSyncCode = 3,
    AngleSnappingCode = 4,
    DebounceCode = 5,
    RippleCode = 6,
    LiftOffCode = 7,
    DpiStagesCode = 9
};

// Sleep ("SleepSlider"), debounce ("ShakeSlider") and lift-off ("LOD"): the value key, then the
// model and the code. False when the file could not be opened.
bool WriteValue(const QString &model, unsigned char code, int value);
// Motion sync ("MotionSync"), angle snapping ("modified") or ripple ("Ripple") changed: the
// model and the code, then all three switches as the page shows them.
bool WriteSwitches(const QString &model, unsigned char code, bool motionSync, bool angleSnapping, bool ripple);
// The report rate in Hz.
bool WriteReportRate(int hz);

} // namespace MouseParamWriter
