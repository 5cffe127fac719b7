// Scripted UI services for a test: every box or dialog that nobody expected fails the test.
#pragma once

#include "platform/ui/ScriptedUi.h"

#include <gtest/gtest.h>

class ScriptedUi {
public:
    ScriptedUi() : scope_(services)
    {
        services.OnUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    }
    ~ScriptedUi() { EXPECT_TRUE(services.AllUsed()) << services.Pending() << " scripted answers left unused"; }

    TScriptedUiServices services;

private:
    TUiServicesScope scope_;
};
