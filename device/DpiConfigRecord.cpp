#include "device/DpiConfigRecord.h"

int DpiConfigRecord::Checked(int32_t address, int imageLength)
{
    return address >= 0 && address < imageLength ? address : -1;
}
