// The HID device emulator: replaced by the emulator library as it grows.
namespace quorix_emu {
int placeholder = 0;
}
