// The transfer's whole road without a window: the local download service switched into each
// way an answer can go, a watcher that records what it heard, and the body in memory.
#include "app/transfer/transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/installer/install_rules.h"
#include "host/app.h"
#include "service_control.h"

namespace {

const char* NameOf(modI::ResumeAnswer meaning) {
    switch (meaning) {
        case modI::ResumeAnswer::Continue: return "continue";
        case modI::ResumeAnswer::Restart: return "restart";
        case modI::ResumeAnswer::Fail: return "fail";
    }
    return "?";
}

const char* NameOf(modI::TransferEnd end) {
    switch (end) {
        case modI::TransferEnd::Complete: return "complete";
        case modI::TransferEnd::Failed: return "failed";
        case modI::TransferEnd::Cancelled: return "cancelled";
    }
    return "?";
}

// Every event as a line; a run of progress reports folds into one "progress to HELD of
// ANNOUNCED", and a report that goes back (other than to 0 after a restart) is recorded as such.
struct RecordingWatcher : modI::TransferWatcher {
    std::vector<std::string> events;
    modI::TransferOutcome outcome;
    std::int64_t lastHeld = -1;
    void OnAnswer(const std::string&, int status) override { Add("answer " + std::to_string(status)); }
    void OnBodyStarted(std::int64_t announced) override { Add("body of " + std::to_string(announced)); }
    void OnProgress(std::int64_t held, std::int64_t announced) override {
        const std::string line = "progress to " + std::to_string(held) + " of " + std::to_string(announced);
        if (held < lastHeld && held != 0) Add("progress went back to " + std::to_string(held));
        if (lastHeld >= 0 && held >= lastHeld && events.back().starts_with("progress to ")) {
            events.back() = line;
        } else {
            Add(line);
        }
        lastHeld = held;
    }
    void OnPaused(std::int64_t held) override { Add("paused at " + std::to_string(held)); lastHeld = -1; }
    void OnResuming(std::int64_t from) override { Add("resuming from " + std::to_string(from)); }
    void OnResumeAnswer(int status, std::string_view range, modI::ResumeAnswer meaning) override {
        Add("resume answer " + std::to_string(status) + " [" + std::string(range) + "] " + NameOf(meaning));
    }
    void OnRestarted(std::int64_t announced) override { Add("restarted with " + std::to_string(announced)); }
    void OnEnded(const modI::TransferOutcome& ended) override {
        outcome = ended;
        Add(std::string("ended ") + NameOf(ended.end));
    }
    void Add(std::string line) { events.push_back(std::move(line)); }
};

bool cancelNow = false;
// Called by the system: stdcall in the 32-bit build, which a lambda is not.
void CALLBACK AskCancel(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    cancelNow = true;
}

constexpr const char* kLite = ORB_SERVICE_ADDRESS "/files/OrbVorex2009LiteTrial.exe";

struct Road {
    std::string body, fileName;
    RecordingWatcher watcher;
};

Road Travel(const std::string& control, const std::string& address, bool cancelSoon = false) {
    wintest::ControlService("reset=1" + (control.empty() ? "" : "&" + control));
    Road road;
    cancelNow = false;
    if (cancelSoon) SetTimer(nullptr, 0, 300, &AskCancel);  // its message comes while the download's events run
    // As the window asks for an installer: a file, whose announced length decides.
    road.body = modI::FetchUrl({.address = address, .wantFile = true, .minSize = 20000, .readLength = true},
                               road.fileName, cancelNow, &road.watcher);
    return road;
}

TEST(TransferRoad, WhatTheWatcherHears) {
    const DWORD savedWait = modI::ResumeWaitMs;
    modI::ResumeWaitMs = 20;
    const Road reference = Travel("", kLite);
    ASSERT_GT(reference.body.size(), 100000u);
    const std::string whole = std::to_string(reference.body.size());
    const std::string install = modMain::BuildRequestAddress("road@example.com", false, false);

    const struct {
        const char* name;
        std::string control, address;
        std::vector<std::string> events;
        modI::TransferEnd end;
        int status, resumes;
        std::string body;  // "whole": the reference body; otherwise exactly this
        bool fileName;
    } rows[] = {
        {"the whole body", "", kLite,
         {"answer 200", "body of " + whole, "progress to " + whole + " of " + whole, "ended complete"},
         modI::TransferEnd::Complete, 200, 0, "whole", true},
        {"the busy notice", "busy=1", install,
         {"answer 200", "ended complete"}, modI::TransferEnd::Complete, 200, 0, "UPDATING", false},
        {"a body shorter than announced", "length_delta=100", install,
         {"answer 200", "body of " + std::to_string(reference.body.size() + 100),
          "progress to " + whole + " of " + std::to_string(reference.body.size() + 100), "ended failed"},
         modI::TransferEnd::Failed, 200, 0, "", false},
        {"a line that breaks once, resumed", "cut_once=100000", kLite,
         {"answer 200", "body of " + whole, "progress to 100000 of " + whole, "paused at 100000",
          "resuming from 100000", "answer 206",
          "resume answer 206 [bytes 100000-" + std::to_string(reference.body.size() - 1) + "/" + whole + "] continue",
          "progress to " + whole + " of " + whole, "ended complete"},
         modI::TransferEnd::Complete, 206, 1, "whole", true},
        {"a server that sends the whole entity again", "cut_once=100000&ignore_ranges=1", kLite,
         {"answer 200", "body of " + whole, "progress to 100000 of " + whole, "paused at 100000",
          "resuming from 100000", "answer 200", "resume answer 200 [] restart", "restarted with " + whole,
          "progress to " + whole + " of " + whole, "ended complete"},
         modI::TransferEnd::Complete, 200, 1, "whole", true},
        {"an error status", "status=404", install,
         {"answer 404", "ended failed"}, modI::TransferEnd::Failed, 404, 0, "", false},
        {"no server", "", "http://127.0.0.1:1/dl",
         {"ended failed"}, modI::TransferEnd::Failed, 0, 0, "", false},
    };
    for (const auto& row : rows) {
        const Road road = Travel(row.control, row.address);
        EXPECT_EQ(road.watcher.events, row.events) << row.name;
        EXPECT_EQ(road.watcher.outcome.end, row.end) << row.name;
        EXPECT_EQ(road.watcher.outcome.status, row.status) << row.name;
        EXPECT_EQ(road.watcher.outcome.resumes, row.resumes) << row.name;
        EXPECT_TRUE(road.body == (row.body == "whole" ? reference.body : row.body))
            << row.name << ": " << road.body.size() << " bytes";
        EXPECT_EQ(!road.fileName.empty(), row.fileName) << row.name;
        if (row.end == modI::TransferEnd::Failed && row.status == 0) {
            EXPECT_NE(road.watcher.outcome.error, 0u) << row.name << ": a failed call names its error";
        }
        if (row.end == modI::TransferEnd::Complete) {
            EXPECT_EQ(road.watcher.outcome.error, 0u) << row.name;
        }
    }
    modI::ResumeWaitMs = savedWait;
}

// A cancel during the body ends the road at once: nothing handed on, the end heard as a cancel.
TEST(TransferRoad, ACancelEndsItAsACancel) {
    const Road road = Travel("throttle=200000", kLite, true);
    ASSERT_TRUE(cancelNow);
    EXPECT_EQ(road.body, "");
    EXPECT_EQ(road.fileName, "");
    EXPECT_EQ(road.watcher.outcome.end, modI::TransferEnd::Cancelled);
    ASSERT_GE(road.watcher.events.size(), 3u);
    EXPECT_EQ(road.watcher.events.back(), "ended cancelled");
    EXPECT_TRUE(road.watcher.events[2].starts_with("progress to ")) << road.watcher.events[2];
    EXPECT_EQ(road.watcher.outcome.error, 0u);
    wintest::ControlService("reset=1");
}

}  // namespace
