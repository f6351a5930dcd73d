// The Linux backends of the platform layer: replaced as the platform layer grows.
namespace quorix_platform_linux {
int placeholder = 0;
}
