// The planning data model: one station, one antenna and one transmission line per run.
// Units: power in kW, frequency in MHz, lengths in feet, angles in degrees, gains as a
// power ratio with a companion field in dB.
#pragma once

#include <cstdint>
#include <string>

// The station.
class TSysObj {
public:
    TSysObj();

    int32_t ChannelNumber = 32;   // set through SetChannel
    float LowFreq = 578.0f;
    float CenterFreq = 581.0f;
    float HighFreq = 584.0f;
    float DTVPower = 42.0f;       // transmitter power when Standard = 1
    float NTSCPower = 1.0f;       // peak visual power when Standard = 0
    float AuralPercent = 10.0f;   // aural power, % of peak visual
    float ERPH = 0.0f;
    float ERPV = 0.0f;
    float MaxERP = 5000.0f;       // limit of the channel's band for the standard
    uint8_t PowerClass = 2;       // 0 low, 1 medium (Family 0 only), 2 not chosen
    uint8_t ChannelBand = 2;      // 0 channels 0-6, 1 channels 7-13, 2 all others
    uint8_t Mounting = 1;         // 0 top, 1 side
    uint8_t Family = 1;           // 0 Zek, 1 Zorvan UHF, 2 VHF high band, 3 other make
    uint8_t Standard = 0;         // 0 NTSC, 1 DTV

    // Sets the channel and the band; for channels 7-13 also the VHF family. The limit
    // follows the band and the current standard.
    void SetChannel(int32_t n);
    int32_t GetChannel() const { return ChannelNumber; }
    // Sets the standard; the limit follows for channels 7-69, other channels keep theirs.
    void SetStandard(uint8_t s);
    // Power of the current standard (0 for an unknown standard).
    float GetPower() const;
    void SetPower(float p);
    void SetMounting(uint8_t m) { Mounting = m; }
    uint8_t GetMounting() const { return Mounting; }
};

// The antenna.
class TAntObj {
public:
    std::string PartNumber;
    std::string HAzName;
    std::string HAzSuffix = "Omni";
    float HAzGain = 1.0f;
    float HAzGainDb = 0.0f;
    std::string HElListName;
    std::string HElName = "20 Gain";
    float HElGain = 20.0f;
    float HElGainDb = 13.01f;
    float HorizonGain = 0.0f;
    float HorizonGainDb = 0.0f;
    std::string VAzName;
    std::string VAzSuffix = "Omni";
    float VAzGain = 1.0f;
    float VAzGainDb = 0.0f;
    std::string VElListName;
    std::string VElName = "18 Gain";
    float VElGain = 18.0f;
    float VElGainDb = 12.55f;
    uint8_t Elliptical = 0;        // 1: a vertical component exists
    int32_t VerticalPercent = 0;   // vertical as % of horizontal; 100 = circular
    float HSplit = 1.0f;           // share of the input power feeding the horizontal part
    float VSplit = 0.0f;
    float MaxInputPower = 240.0f;
    int32_t HAzDegrees = 0;
    int32_t VAzDegrees = 0;
    int32_t HAzIndex = 0;
    int32_t VAzIndex = 0;
    int32_t ElevationIndex = 0;
    float CatalogTilt = 0.0f;      // tilt built into the stored elevation record
    float TiltAngle = 0.0f;        // tilt chosen by the user, quarter-degree steps
    float BeamWidth = 0.0f;
    int32_t HRotation = 0;
    int32_t VRotation = 0;

    // Store the ratio and its dB value; a ratio <= 0 is stored with 0 dB.
    void SetHAzimuthGain(float g);
    void SetHElevationGain(float g);
    void SetVAzimuthGain(float g);
    void SetVElevationGain(float g);
    void SetPowerSplit(float x);
    void SetMaxInputPower(float p) { MaxInputPower = p; }
};

// The transmission line.
class TTLineObj {
public:
    float DTVRating = 0.0f;        // average power rating at the calculation frequency
    float NTSCRating = 0.0f;       // the same as NTSC peak visual power
    std::string LinePartNumber;
    std::string LineName;
    int32_t VerticalLength = 1000;
    float VerticalLoss = 0.0f;
    int32_t HorizontalLength = 100;
    float HorizontalLoss = 0.0f;
    int32_t TotalRunLength = 1100;
    float TotalLoss = 0.0f;
    int32_t SelectedRow = 0;

    // Stores the average rating and its NTSC peak equivalent at the aural % in force.
    void SetPowerRating(float r);
    float GetPowerRating() const;
    void SetRunLoss(float x);
    void SetVerticalLength(int32_t n) { VerticalLength = n; }
    void SetHorizontalLength(int32_t n) { HorizontalLength = n; }
};

// The process-wide design objects. The main window creates them once; nothing frees them
// before exit. Null until created.
extern TSysObj* SysObj;
extern TAntObj* AntObj;
extern TTLineObj* TLineObj;

// Creates the three objects in the order station, antenna, line, replacing any earlier
// ones (tests use it to start from the defaults).
void CreateProjectObjects();

// The objects, or EInvalidOperation when they have not been created yet.
TSysObj& Sys();
TAntObj& Ant();
TTLineObj& TLine();
