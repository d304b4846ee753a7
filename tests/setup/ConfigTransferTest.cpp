// Putting a configuration into a meter that misbehaves in ways the simulated meter cannot
// be told to (a damaged reply to one write, silence from one write on, refusals of the
// rollback itself): the outcome line says what the meter holds, block by block.

#include "ConfigTransfer.h"
#include "MeterConfigFixture.h"

#include <QMap>

#include <functional>

#include <gtest/gtest.h>

namespace {

// How the meter meets its n-th write (1-based): taken or not, and what comes back.
struct Reaction {
    bool take = true;
    LinkFailure::Kind reply = LinkFailure::Kind::None; // None: confirmed
};

// A meter of registers behind the link, answering at its own address and baud rate.
class RegisterMeter : public RegisterLink {
public:
    RegisterMeter() {
        MeterConfiguration c = SampleConfiguration();
        c.settings[0x01] = 9;
        c.settings[0x08] = 50;   // CT1 other than the file's
        c.alarms[4 + 3 * 4] = 1; // group 5 watches V1
        for (int i = 0; i < MeterSettingsCount; ++i)
            registers_[quint16(0x100 + i)] = c.settings[size_t(i)];
        for (int i = 0; i < AlarmParamBlockCount; ++i)
            registers_[quint16(0x330 + i)] = c.alarms[size_t(i)];
        const char version[] = "1.20";
        for (int i = 0; i < 4; ++i)
            registers_[quint16(0x510 + i)] = quint16(version[i]);
    }

    std::function<Reaction(int write)> OnWrite = [](int) { return Reaction{}; };
    int silentFromWrite = 0; // from this write on nothing answers (0: never)

    std::optional<QList<quint16>> Read(int address, quint16 start, int count) override {
        if (!Hears(address)) {
            failure_ = {LinkFailure::Kind::NoReply, 0};
            return std::nullopt;
        }
        QList<quint16> values;
        for (int i = 0; i < count; ++i)
            values << registers_.value(quint16(start + i));
        failure_ = {};
        return values;
    }
    bool Write(int address, const QString& message) override {
        ++writes_;
        if (!Hears(address)) {
            failure_ = {LinkFailure::Kind::NoReply, 0};
            return false;
        }
        const QStringList f = message.split(',');
        const quint16 start = quint16((f[2] + f[3]).toUInt(nullptr, 16));
        const int count = int((f[4] + f[5]).toUInt(nullptr, 16));
        const Reaction r = OnWrite(writes_);
        if (r.take) {
            for (int i = 0; i < count; ++i)
                registers_[quint16(start + i)] =
                    quint16((f[7 + 2 * i] + f[8 + 2 * i]).toUInt(nullptr, 16));
            if (start == 0x100) {
                address_ = registers_[0x101];
                baud_ = registers_[0x102];
            }
        }
        failure_ = {r.reply, quint8(r.reply == LinkFailure::Kind::Exception ? 4 : 0)};
        return r.reply == LinkFailure::Kind::None;
    }
    void FollowBaudRate(quint32 baud) override { lineBaud_ = baud; }
    LinkFailure LastFailure() const override { return failure_; }

private:
    bool Hears(int address) const {
        return address == address_ && lineBaud_ == baud_ &&
               (silentFromWrite == 0 || writes_ < silentFromWrite);
    }

    QMap<quint16, quint16> registers_;
    int address_ = 9;
    quint32 baud_ = 9600, lineBaud_ = 9600;
    int writes_ = 0;
    LinkFailure failure_;
};

struct ApplyCase {
    const char* name;
    std::function<void(RegisterMeter&)> misbehave;
    bool includeComm;
    const char* line;
};
void PrintTo(const ApplyCase& c, std::ostream* os) {
    *os << c.name;
}

class ApplyToAMisbehavingMeter : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(ApplyToAMisbehavingMeter, SaysWhatEachBlockHolds) {
    RegisterMeter meter;
    GetParam().misbehave(meter);
    const MeterApplyOutcome o = ApplyMeterConfiguration(meter, SampleConfiguration(), 9,
                                                        "QETRA 7300", GetParam().includeComm);
    EXPECT_EQ(ApplyOutcomeLine(o).toStdString(), GetParam().line);
}

// The writes go out as settings (1), alarm groups 5-9 (2), alarm words and groups 1-4 (3),
// then the address and baud rate (4) when asked for; a rollback's writes follow.
INSTANTIATE_TEST_SUITE_P(
    Table, ApplyToAMisbehavingMeter,
    ::testing::Values(
        ApplyCase{"Verified", [](RegisterMeter&) {}, false, "address 9: verified"},
        ApplyCase{"DamagedReplyToTheAddressChange",
                  [](RegisterMeter& m) {
                      m.OnWrite = [](int n) {
                          return Reaction{true, n == 4 ? LinkFailure::Kind::Damaged
                                                       : LinkFailure::Kind::None};
                      };
                  },
                  true, "address 9: verified; the meter now answers at address 5, 9600 baud"},
        ApplyCase{"GoneAfterTheAddressChange", [](RegisterMeter& m) { m.silentFromWrite = 4; },
                  true,
                  "address 9: no answer: after the write of the address and baud rate the meter "
                  "answers neither at address 5, 9600 baud nor at address 9, 9600 baud (the "
                  "write of the address and baud rate got no answer); try it at either; not "
                  "rolled back: the meter does not answer"},
        ApplyCase{
            "RollbackRefused",
            [](RegisterMeter& m) {
                m.OnWrite = [](int n) {
                    return n <= 2 ? Reaction{} : Reaction{false, LinkFailure::Kind::Exception};
                };
            },
            false,
            "address 9: refused: the meter refused the write of its alarm words and "
            "groups 1-4 (0x0330): exception 4 (Slave Device Failure); not rolled back: "
            "settings (0x0100): the file's values; alarm groups 5-9 (0x0340): the file's "
            "values; alarm words and groups 1-4 (0x0330): what it held before"},
        ApplyCase{"SilentFromTheThirdWrite", [](RegisterMeter& m) { m.silentFromWrite = 3; }, false,
                  "address 9: no answer: the write of its alarm words and groups 1-4 (0x0330) "
                  "was not answered; not rolled back: the meter does not answer the read-back, "
                  "so what it holds is unknown (blocks written: settings (0x0100), alarm groups "
                  "5-9 (0x0340), alarm words and groups 1-4 (0x0330))"}),
    [](const auto& info) { return std::string(info.param.name); });

// The address list of a clone's question reads as the operator would type it, and types
// back to the same addresses.
TEST(AddressList, RunsBecomeRangesAndReadBackTheSame) {
    const struct {
        QList<int> addresses;
        const char* text;
    } cases[] = {
        {{1}, "1"},
        {{1, 2, 3}, "1-3"},
        {{1, 2, 3, 7, 9, 10}, "1-3, 7, 9-10"},
        {{25, 1, 2}, "25, 1-2"},
        {{5, 4, 3}, "5, 4, 3"},
        {{246, 247}, "246-247"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddressListText(c.addresses), c.text);
        QString why;
        EXPECT_EQ(ParseAddressList(c.text, &why), c.addresses) << c.text << why.toStdString();
    }
}

} // namespace
