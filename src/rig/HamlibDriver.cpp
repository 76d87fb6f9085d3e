// The rig through Hamlib's library: model 2 (rigctld) or a rig model on a
// serial device.
#include <hamlib/rig.h>

#include <clocale>

#include "rig/RigDriver.h"

namespace {
// A rig that does not answer is given up on quickly: the next poll tries
// again.
constexpr const char* kTimeoutMs = "500";
constexpr const char* kRetries = "0";

class HamlibDriver final : public RigDriver {
public:
    explicit HamlibDriver(const RigSetting& s) : setting_(s) {}
    ~HamlibDriver() override { Close(); }

    bool Open() override {
        Close();
        rig_set_debug(RIG_DEBUG_NONE);
        rig_ = rig_init(rig_model_t(setting_.model));
        if (!rig_) return false;
        Conf("rig_pathname", setting_.Path().toLocal8Bit());
        if (setting_.kind == RigSetting::Kind::Hamlib)
            Conf("serial_speed", QByteArray::number(setting_.rate));
        Conf("timeout", kTimeoutMs);
        Conf("retry", kRetries);
        if (rig_open(rig_) != RIG_OK) {
            rig_cleanup(rig_);
            rig_ = nullptr;
            return false;
        }
        opened_ = true;
        return true;
    }

    std::optional<qint64> ReadFrequency() override {
        if (!rig_) return std::nullopt;
        freq_t hz = 0;
        if (rig_get_freq(rig_, RIG_VFO_CURR, &hz) != RIG_OK || hz <= 0) return std::nullopt;
        return qint64(hz + 0.5);
    }

    void Close() override {
        if (!rig_) return;
        if (opened_) rig_close(rig_);
        rig_cleanup(rig_);
        rig_ = nullptr;
        opened_ = false;
    }

private:
    void Conf(const char* name, const QByteArray& value) {
        const token_t token = rig_token_lookup(rig_, name);
        if (token != RIG_CONF_END) rig_set_conf(rig_, token, value.constData());
    }

    RigSetting setting_;
    RIG* rig_ = nullptr;
    bool opened_ = false;
};
} // namespace

std::unique_ptr<RigDriver> MakeHamlibDriver(const RigSetting& setting) {
    // Hamlib keeps the name setlocale(LC_NUMERIC, NULL) returns, sets "C" and
    // then restores the kept name, which that second call may have freed.
    // With LC_NUMERIC already "C" (the C library's own name, never freed) it
    // is safe. Set here, on the window's thread, before the rig's thread
    // starts; Qt formats numbers through QLocale, not the C locale.
    std::setlocale(LC_NUMERIC, "C");
    return std::make_unique<HamlibDriver>(setting);
}
