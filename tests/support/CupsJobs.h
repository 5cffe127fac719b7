// The jobs a test's private CUPS scheduler has finished, with the settings it recorded for
// each and the document it was given (kept in its spool folder). Link Cups::Cups.
#pragma once

#include <cups/cups.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace mwtest {

// The ids of the finished jobs of a queue, oldest first.
inline std::vector<int> CompletedJobs(const std::string& queue)
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_COMPLETED);
    std::vector<int> ids;
    for (int i = 0; i < n; ++i) ids.push_back(jobs[i].id);
    cupsFreeJobs(n, jobs);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// A job's keyword, name and integer attributes as text ("sides" -> "two-sided-long-edge").
inline std::map<std::string, std::string> JobAttributes(int id)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    std::map<std::string, std::string> attributes;
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/jobs/");
    if (!response) return attributes;
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        if (!ippGetName(a) || ippGetGroupTag(a) != IPP_TAG_JOB) continue;
        char text[1024];
        ippAttributeString(a, text, sizeof text);
        attributes[ippGetName(a)] = text;
    }
    ippDelete(response);
    return attributes;
}

// The document a job was given, as the scheduler keeps it.
inline std::string JobDocument(const std::string& schedulerFolder, int id)
{
    char name[32];
    std::snprintf(name, sizeof name, "/spool/d%05d-001", id);
    return schedulerFolder + name;
}

}  // namespace mwtest
