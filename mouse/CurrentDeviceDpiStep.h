#pragma once
// The DPI step of the current device: stage values are multiples of it. -1 when there is no
// current device, it is not a mouse or its settings have not been read; 100 for sensor code 24,
// else 50.
int CurrentDeviceDpiStep();
