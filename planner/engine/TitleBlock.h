// What the exhibits print besides the design: the title block from the site-information
// dialog, the kind of output the wizard chose, and the texts the pages hand to the PDF
// pages. The dialogs and pages write these; the exhibits only read them.
#pragma once

#include "platform/runtime/NumText.h"
#include "platform/runtime/SysUtils.h"

#include <cstdint>
#include <string>

// --- Title block ---------------------------------------------------------------------
// Cut by the site-information dialog: at most 20 characters each, the author 15.
extern std::string CompanyName;
extern std::string AuthorName;
extern std::string SiteName;
extern std::string ProposalNumber;
extern double ProposalDate;  // a TDateTime; 0 prints no date

// --- Output choice -------------------------------------------------------------------
enum : int32_t { poGraph = 0, poDataTable = 1, poDiskFile = 2, poPdf = 3 };
extern int32_t PrintOption;        // poGraph .. poPdf
extern bool GraphPage;             // a graph page is being printed (title block upper right)
extern std::string PatternFileName;
extern bool ShowVerticalPattern;   // the azimuth exhibit shows the vertical pattern

// --- Texts of the PDF pages ----------------------------------------------------------
struct TAzimuthPdfText {
    std::string NumericGain;
    std::string PowerGainDb;
    std::string Polarization;
    std::string PlotType;
    std::string RotationAngle;
};
struct TElevationPdfText {
    std::string MainLobeGain;
    std::string MainLobeGainDb;
    std::string HorizontalGain;
    std::string HorizontalGainDb;
    std::string BeamWidthText;
    std::string BeamTiltText;
    std::string PlotType;
};
extern TAzimuthPdfText AzimuthPdfText;
extern TElevationPdfText ElevationPdfText;
