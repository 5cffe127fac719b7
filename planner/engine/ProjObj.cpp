#include "ProjObj.h"

#include "ProjLib.h"
#include "platform/runtime/SysUtils.h"

#include <memory>

namespace {
std::unique_ptr<TSysObj> sysOwner;
std::unique_ptr<TAntObj> antOwner;
std::unique_ptr<TTLineObj> lineOwner;

// Channels 2 to 6: 100 kW for NTSC. For DTV the rules give 10 kW in zone I and 45 kW in
// zones II and III; the design has no zone, so the higher figure stands.
constexpr float kVhfLowNtscErp = 100.0f;
constexpr float kVhfLowDtvErp = 45.0f;
// The NTSC limit for the VHF high band is 316 kW in both setters.
constexpr float kVhfHighNtscErp = 316.0f;
constexpr float kVhfHighDtvErp = 100.0f;
constexpr float kUhfNtscErp = 5000.0f;
constexpr float kUhfDtvErp = 1000.0f;
} // namespace

TSysObj* SysObj = nullptr;
TAntObj* AntObj = nullptr;
TTLineObj* TLineObj = nullptr;

// ---------------------------------------------------------------------------
TSysObj::TSysObj()
{
    ChannelNumber = 32;
    LowFreq = 578.0f;
    CenterFreq = 581.0f;
    HighFreq = 584.0f;
    PowerClass = 2;
    NTSCPower = 1.0f;
    AuralPercent = 10.0f;
    DTVPower = 42.0f;
    SetMounting(1);
    Family = 1;
    ChannelBand = 2;
    SetStandard(0);
}

void TSysObj::SetChannel(int32_t n)
{
    ChannelNumber = n;
    if (n >= 0 && n <= 6) {
        ChannelBand = 0;
        // Channels 0 and 1 do not exist; the limit stays as it was.
        if (n >= 2) MaxERP = Standard == 0 ? kVhfLowNtscErp : kVhfLowDtvErp;
    } else if (n >= 7 && n <= 13) {
        ChannelBand = 1;
        Family = 2;
        MaxERP = Standard == 0 ? kVhfHighNtscErp : kVhfHighDtvErp;
    } else {
        ChannelBand = 2;
        MaxERP = Standard == 0 ? kUhfNtscErp : kUhfDtvErp;
    }
}

void TSysObj::SetStandard(uint8_t s)
{
    Standard = s;
    const int32_t n = ChannelNumber;
    if (n >= 2 && n <= 6)
        MaxERP = Standard == 0 ? kVhfLowNtscErp : kVhfLowDtvErp;
    else if (n >= 7 && n <= 13)
        MaxERP = Standard == 0 ? kVhfHighNtscErp : kVhfHighDtvErp;
    else if (n >= 14 && n <= 69)
        MaxERP = Standard == 0 ? kUhfNtscErp : kUhfDtvErp;
}

float TSysObj::GetPower() const
{
    if (Standard == 0) return NTSCPower;
    if (Standard == 1) return DTVPower;
    return 0.0f;
}

void TSysObj::SetPower(float p)
{
    if (Standard == 0) NTSCPower = p;
    else if (Standard == 1) DTVPower = p;
}

// ---------------------------------------------------------------------------
void TAntObj::SetHAzimuthGain(float g)
{
    HAzGain = g;
    HAzGainDb = RatioToDb(g);
}

void TAntObj::SetHElevationGain(float g)
{
    HElGain = g;
    HElGainDb = RatioToDb(g);
}

void TAntObj::SetVAzimuthGain(float g)
{
    VAzGain = g;
    VAzGainDb = RatioToDb(g);
}

void TAntObj::SetVElevationGain(float g)
{
    VElGain = g;
    VElGainDb = RatioToDb(g);
}

void TAntObj::SetPowerSplit(float x)
{
    HSplit = x;
    VSplit = static_cast<float>(1.0L - static_cast<long double>(x));
}

// ---------------------------------------------------------------------------
void TTLineObj::SetPowerRating(float r)
{
    DTVRating = r;
    NTSCRating = NtscPeakFromAverage(r);
}

float TTLineObj::GetPowerRating() const
{
    const uint8_t standard = Sys().Standard;
    if (standard == 0) return NTSCRating;
    if (standard == 1) return DTVRating;
    return 0.0f;
}

void TTLineObj::SetRunLoss(float x)
{
    VerticalLoss = x;
    TotalLoss = static_cast<float>(static_cast<long double>(x) + HorizontalLoss);
}

// ---------------------------------------------------------------------------
void CreateProjectObjects()
{
    sysOwner = std::make_unique<TSysObj>();
    SysObj = sysOwner.get();
    antOwner = std::make_unique<TAntObj>();
    AntObj = antOwner.get();
    lineOwner = std::make_unique<TTLineObj>();
    TLineObj = lineOwner.get();
}

TSysObj& Sys()
{
    if (!SysObj) throw EInvalidOperation("The station object has not been created");
    return *SysObj;
}

TAntObj& Ant()
{
    if (!AntObj) throw EInvalidOperation("The antenna object has not been created");
    return *AntObj;
}

TTLineObj& TLine()
{
    if (!TLineObj) throw EInvalidOperation("The transmission-line object has not been created");
    return *TLineObj;
}
