#include "firmware/Cmd.h"

namespace {
void RegisterCmd()
{
    static const int id = qRegisterMetaType<Cmd>("Cmd"); // idempotent, done once
    Q_UNUSED(id);
}
} // namespace

Cmd::Cmd()
{
    RegisterCmd();
}

Cmd::Cmd(const QString &n, uint32_t k, uint32_t pre, uint32_t post, const std::string &out)
    : name(n), kind(k), pre_delay_ms(pre), post_delay_ms(post), out_bytes(out)
{
    RegisterCmd();
}
