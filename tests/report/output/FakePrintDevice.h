// A printer for the output tests: one recording device whose calls are cut into pages; a new
// page starts from the stock objects and origin, as a printer's device context does. The
// job's steps are logged.
#pragma once

#include "report/output/RpxOutput.h"

#include <memory>
#include <string>
#include <vector>

class TFakePrintDevice : public TRpxPrintDevice {
public:
    explicit TFakePrintDevice(TRpxDeviceInfo info = Info600()) : device_(info) {}

    static TRpxDeviceInfo Info600()
    {
        TRpxDeviceInfo i;
        i.LogPixelsX = i.LogPixelsY = 600;
        i.PhysicalWidth = 5100;
        i.PhysicalHeight = 6600;
        i.PhysicalOffsetX = i.PhysicalOffsetY = 150;
        i.HorzRes = 4800;
        i.VertRes = 6300;
        i.Technology = DT_RASPRINTER;
        return i;
    }

    void BeginDoc(const std::string& title) override
    {
        Log.push_back("begin " + title);
        printing_ = true;
        NewSheet();
    }
    void StartPage() override
    {
        Log.push_back("start");
        NewSheet();
    }
    void EndPage() override { Log.push_back("end page"); }
    void EndDoc() override
    {
        Log.push_back("end doc");
        printing_ = false;
    }
    void Abort() override
    {
        Log.push_back("abort");
        printing_ = false;
    }
    bool Printing() const override { return printing_; }
    TRpxRecordingDevice& Device() override { return device_; }

    // The calls of each page begun.
    std::vector<std::vector<std::string>> Pages() const
    {
        auto pages = done_;
        if (printing_ || !device_.Calls.empty()) pages.push_back(device_.Calls);
        return pages;
    }
    std::vector<std::string> Log;

private:
    void NewSheet()
    {
        if (sheets_++ > 0) done_.push_back(device_.Calls);
        device_.Calls.clear();
        device_.SelectStockObjects();
        device_.SetViewportOrg(0, 0);
    }
    TRpxRecordingDevice device_;
    std::vector<std::vector<std::string>> done_;
    int sheets_ = 0;
    bool printing_ = false;
};
