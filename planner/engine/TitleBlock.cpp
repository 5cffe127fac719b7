#include "planner/engine/TitleBlock.h"

std::string CompanyName;
std::string AuthorName;
std::string SiteName;
std::string ProposalNumber;
double ProposalDate = 0;
int32_t PrintOption = poGraph;
std::string PatternFileName;

bool GraphPage = false;
bool ShowVerticalPattern = false;

TAzimuthPdfText AzimuthPdfText;
TElevationPdfText ElevationPdfText;
