// The title block and plot state every exhibit test starts from.
#pragma once

#include "planner/engine/PatternPlots.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "platform/runtime/NumText.h"

inline void UseSampleTitleBlock()
{
    FormatSettings() = TFormatSettings{};
    CreateProjectObjects();
    CompanyName = "Acme Broadcasting";
    AuthorName = "J. Smith";
    SiteName = "Hilltop Ridge";
    ProposalNumber = "P-4711";
    ProposalDate = EncodeDate(2024, 3, 15);
    ExhibitId = "E-7       ";
    AzimuthTraceCount = 1;
    ElevationTraceCount = 1;
}
