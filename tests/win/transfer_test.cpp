// FetchUrl against a canned local server: lengths, file names, short replies, cancel,
// broken servers, and the progress bar drawn in a real picture box.
#include "app/transfer/transfer.h"
#include "app/transfer/transfer_rules.h"
#include "app/window/progress_watcher.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "host/app.h"
#include "host/form.h"
#include "host/standard_controls.h"
#include "test_http_server.h"

namespace {

using wintest::TestHttpServer;
using Connection = TestHttpServer::Connection;

std::string Reply(const std::string& headers, const std::string& body) {
    return "HTTP/1.1 200 OK\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

std::string WithLength(const std::string& body, const std::string& extra = "") {
    return Reply("Content-Length: " + std::to_string(body.size()) + "\r\n" + extra, body);
}

// A test window with a progress picture box, as the main window has one.
struct ProgressFixture : testing::Test {
    host::Form form{"frmTransferTest"};
    host::PictureBox* barControl = nullptr;
    void SetUp() override {
        form.Move(0, 0, 4500, 1500);
        form.Show();
        barControl = &form.Add<host::PictureBox>("picPB");
        barControl->Move(0, 0, 3030, 450);  // 202 x 30 pixels
        barControl->SetAutoRedraw(true);
        barControl->SetFillStyle(0);  // solid
        barControl->SetFillColor(RGB(0, 0, 255));
    }
    host::PictureBox& Bar() { return *barControl; }
};

struct FetchResult {
    std::string body;
    std::string fileName;
};

FetchResult Fetch(const std::string& url, bool wantFile, host::PictureBox* progress, std::int32_t minSize,
                  const bool& cancel = false, host::Timer* activity = nullptr) {
    FetchResult r;
    // As the window asks: with a bar, the announced length decides.
    const modI::TransferRequest request{.address = url, .wantFile = wantFile, .minSize = minSize,
                                        .readLength = progress != nullptr};
    if (!progress) {
        r.body = modI::FetchUrl(request, r.fileName, cancel);
        return r;
    }
    modI::ProgressWatcher watcher(*progress, activity);
    r.body = modI::FetchUrl(request, r.fileName, cancel, &watcher);
    return r;
}

TEST(FetchUrl, VersionQueryReadsTheWholeBodyWithoutLength) {
    const std::string body(70000, 'v');
    TestHttpServer server([&](Connection& c) { c.Send(Reply("", body)); });
    EXPECT_EQ(Fetch(server.Url("/v"), false, nullptr, 0).body, body);
}

TEST(FetchUrl, SendsTheAgentNameAndNoCacheHeadersOfItsOwn) {
    TestHttpServer server([](Connection& c) { c.Send(WithLength("ok")); });
    Fetch(server.Url("/latest/version.txt"), false, nullptr, 0);
    ASSERT_EQ(server.RequestLines().size(), 1u);
    EXPECT_EQ(server.RequestLines()[0], "GET /latest/version.txt HTTP/1.1");
    const std::string head = server.RequestHeads()[0];
    EXPECT_NE(head.find("\r\nUser-Agent: Orb Vorex Web Setup 2009\r\n"), std::string::npos) << head;
}

// The version query's way of waiting: every call blocks its own thread. The answers are those
// of the window's way, for a body, a redirect and the failures.
TEST(FetchUrl, BlockingCallsGiveTheSameAnswers) {
    const std::string body(70000, 'v');
    const struct {
        const char* what;
        std::function<void(Connection&)> reply;
        std::string expected;
    } cases[] = {
        {"a body without length", [&](Connection& c) { c.Send(Reply("", body)); }, body},
        {"a redirect",
         [](Connection& c) {
             if (c.requestLine.starts_with("GET /file ")) {
                 c.Send(WithLength("the body"));
             } else {
                 c.Send("HTTP/1.1 302 Found\r\nLocation: /file\r\nContent-Length: 0\r\n\r\n");
             }
         },
         "the body"},
        {"an error status", [](Connection& c) { c.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"); }, ""},
        {"a body cut short",
         [](Connection& c) { c.Send("HTTP/1.1 200 OK\r\nContent-Length: 40000\r\n\r\n" + std::string(30000, 'a')); },
         ""},
    };
    for (const auto& c : cases) {
        TestHttpServer server(c.reply);
        std::string fileName;
        const bool no = false;
        EXPECT_EQ(modI::FetchUrl({.address = server.Url("/v"), .waiting = modI::Waiting::Blocking}, fileName, no),
                  c.expected)
            << c.what;
    }
    std::string fileName;
    const bool no = false;
    EXPECT_EQ(modI::FetchUrl({.address = "http://127.0.0.1:1/v", .waiting = modI::Waiting::Blocking}, fileName, no),
              "")
        << "nobody listening";
}

// What a transfer receives stays out of WinINet's cache, in both ways of waiting: an
// installer is not kept a second time among the user's temporary Internet files.
TEST(FetchUrl, NothingIsWrittenToTheCache) {
    for (const modI::Waiting waiting : {modI::Waiting::WithEvents, modI::Waiting::Blocking}) {
        TestHttpServer server([](Connection& c) { c.Send(WithLength("cached?")); });
        const std::string url = server.Url("/cache-probe");
        std::string fileName;
        const bool no = false;
        ASSERT_EQ(modI::FetchUrl({.address = url, .waiting = waiting}, fileName, no), "cached?");
        DWORD size = 0;
        EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size) || GetLastError() == ERROR_INSUFFICIENT_BUFFER)
            << "a cache entry for " << url;
    }
}

TEST(FetchUrl, ShortReplyWithoutLengthIsOneReadOfAtMost32000Bytes) {
    const std::string body(50000, 'x');
    TestHttpServer server([&](Connection& c) { c.Send(Reply("", body)); });
    const auto r = Fetch(server.Url("/dl"), true, nullptr, 20000);
    EXPECT_LE(r.body.size(), 32000u);
    EXPECT_EQ(body.compare(0, r.body.size(), r.body), 0);
    EXPECT_EQ(r.fileName, "");
}

TEST(FetchUrl, BusyNoticeArrivesWhole) {
    TestHttpServer server([](Connection& c) { c.Send(Reply("", "UPDATING")); });
    EXPECT_EQ(Fetch(server.Url("/dl"), true, nullptr, 20000).body, "UPDATING");
}

TEST(FetchUrl, FileNameFromContentDisposition) {
    const struct {
        const char* header;
        const char* name;
    } cases[] = {
        {"attachment; filename=\"OrbVorex2009ProTrial.exe\"", "OrbVorex2009ProTrial.exe"},
        {"attachment; filename=setup.exe", ""},
        {"attachment; filename=\"Orb%20Vorex%41.exe\"", "Orb VorexA.exe"},
    };
    for (const auto& c : cases) {
        const std::string body(1000, 'b');
        TestHttpServer server([&](Connection& conn) {
            conn.Send(WithLength(body, std::string("Content-Disposition: ") + c.header + "\r\n"));
        });
        const auto r = Fetch(server.Url("/dl"), true, nullptr, 0);
        EXPECT_EQ(r.fileName, c.name) << c.header;
        EXPECT_EQ(r.body, body) << c.header;
    }
}

TEST(FetchUrl, MalformedEscapeInTheFileNameFailsTheTransfer) {
    TestHttpServer server([](Connection& c) {
        c.Send(WithLength("data", "Content-Disposition: attachment; filename=\"%zz.exe\"\r\n"));
    });
    const auto r = Fetch(server.Url("/dl"), true, nullptr, 0);
    EXPECT_EQ(r.body, "");
    EXPECT_EQ(r.fileName, "");
}

TEST(FetchUrl, RedirectsAreFollowedToTheBody) {
    for (const char* status : {"301 Moved Permanently", "302 Found", "303 See Other", "307 Temporary Redirect",
                               "308 Permanent Redirect"}) {
        TestHttpServer server([&](Connection& c) {
            if (c.requestLine.starts_with("GET /file ")) {
                c.Send(WithLength("the body", "Content-Disposition: attachment; filename=\"s.exe\"\r\n"));
            } else {
                // A location relative to the address that answered.
                c.Send(std::string("HTTP/1.1 ") + status + "\r\nLocation: /file\r\nContent-Length: 0\r\n\r\n");
            }
        });
        const auto r = Fetch(server.Url("/dl"), true, nullptr, 0);
        EXPECT_EQ(r.body, "the body") << status;
        EXPECT_EQ(r.fileName, "s.exe") << status;
    }
}

TEST(FetchUrl, ARedirectLoopEndsAsAFailure) {
    TestHttpServer server([](Connection& c) {
        c.Send("HTTP/1.1 302 Found\r\nLocation: /dl\r\nContent-Length: 0\r\n\r\n");
    });
    const auto r = Fetch(server.Url("/dl"), true, nullptr, 0);
    EXPECT_EQ(r.body, "");
    EXPECT_EQ(server.RequestLines().size(), 1u + modI::kMostRedirects);
}

TEST(FetchUrl, AnErrorStatusIsAFailureWhateverItsBody) {
    const std::string body(40000, 'e');
    for (const char* status : {"404 Not Found", "403 Forbidden", "500 Internal Server Error", "302 Found"}) {
        // A redirect without a location leads nowhere: a failure as well.
        TestHttpServer server([&](Connection& c) {
            c.Send(std::string("HTTP/1.1 ") + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\nContent-Disposition: attachment; filename=\"s.exe\"\r\n\r\n" + body);
        });
        std::string fileName = "unset";
        const bool no = false;
        EXPECT_EQ(modI::FetchUrl({.address = server.Url("/dl"), .wantFile = true, .minSize = 20000}, fileName, no), "") << status;
        EXPECT_EQ(fileName, "") << status;
    }
}

TEST(FetchUrl, UnreachableServerGivesEmptyResult) {
    std::string url;
    { TestHttpServer gone([](Connection&) {}); url = gone.Url("/v"); }
    EXPECT_EQ(Fetch(url, false, nullptr, 0).body, "");
}

// How long a transfer from a server that behaves as `reply` takes, with a short time-out.
double SecondsToFetch(const TestHttpServer::Reply& reply, std::string& body) {
    const DWORD saved = modI::NetworkTimeoutMs;
    modI::NetworkTimeoutMs = 1500;
    TestHttpServer server(reply);
    const auto start = std::chrono::steady_clock::now();
    body = Fetch(server.Url("/v"), false, nullptr, 0).body;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    modI::NetworkTimeoutMs = saved;
    return seconds;
}

TEST(FetchUrl, ServersThatStayQuietEndAtTheTimeout) {
    const struct {
        const char* name;
        TestHttpServer::Reply reply;
    } cases[] = {
        {"no answer at all", [](Connection&) { Sleep(4000); }},
        {"headers, then silence",
         [](Connection& c) {
             c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
             Sleep(4000);
         }},
    };
    for (const auto& c : cases) {
        std::string body = "unset";
        const double seconds = SecondsToFetch(c.reply, body);
        EXPECT_EQ(body, "") << c.name;
        EXPECT_LT(seconds, 3.0) << c.name << ": the transfer waited for the server instead of timing out";
    }
}

TEST(FetchUrl, ServerThatStallsMidBodyGivesNoBody) {
    std::string body = "unset";
    SecondsToFetch([](Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
        Sleep(2500);
    }, body);
    EXPECT_EQ(body, "") << "a body cut short must not be handed on";
}

TEST(FetchUrl, ATrickleAfterABurstIsNotTakenForAStall) {
    // Never quiet for as long as the 1.5 s time-out, so the transfer must wait for the whole
    // body, however large a read the burst invites.
    const struct {
        std::size_t burst, piece;
        DWORD everyMs;
        std::size_t trickle;
    } cases[] = {
        {10000, 100, 50, 6000},       // 2 KB/s for 3 s
        {100 * 1024, 10, 100, 250},  // 100 bytes a second for 2.5 s
    };
    for (const auto& c : cases) {
        std::string body(c.burst + c.trickle, 'b');
        for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('a' + i % 26);
        std::string got = "unset";
        SecondsToFetch([&](Connection& conn) {
            conn.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                      body.substr(0, c.burst));
            for (std::size_t at = c.burst; at < body.size(); at += c.piece) {
                Sleep(c.everyMs);
                conn.Send(body.substr(at, c.piece));
            }
        }, got);
        EXPECT_TRUE(got == body) << c.burst << "-byte burst: " << got.size() << " of " << body.size() << " bytes";
    }
}

TEST_F(ProgressFixture, LengthEqualToMinSizeIsReadAndOneLessIsNot) {
    const std::string body(20000, 'i');
    TestHttpServer server([&](Connection& c) {
        c.Send(WithLength(body, "Content-Disposition: attachment; filename=\"s.exe\"\r\n"));
    });
    const auto atMin = Fetch(server.Url("/dl"), true, &Bar(), 20000);
    EXPECT_EQ(atMin.body, body);
    EXPECT_EQ(atMin.fileName, "s.exe");
    const auto above = Fetch(server.Url("/dl"), true, &Bar(), 20001);
    EXPECT_EQ(above.body, "");
}

TEST_F(ProgressFixture, BrokenBodiesAreFailures) {
    const struct {
        const char* name;
        std::function<void(Connection&)> reply;
    } cases[] = {
        {"closes before the announced length",
         [](Connection& c) { c.Send("HTTP/1.1 200 OK\r\nContent-Length: 40000\r\n\r\n" + std::string(30000, 'a')); }},
        {"resets the connection mid-body",
         [](Connection& c) {
             c.Send("HTTP/1.1 200 OK\r\nContent-Length: 40000\r\n\r\n" + std::string(10000, 'a'));
             c.Reset();
         }},
        {"content length beyond 32 bits",
         [](Connection& c) { c.Send("HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n" + std::string(30000, 'a')); }},
        {"the largest content length, and a short body",
         [](Connection& c) { c.Send("HTTP/1.1 200 OK\r\nContent-Length: 2147483647\r\n\r\n" + std::string(30000, 'a')); }},
    };
    for (const auto& c : cases) {
        TestHttpServer server(c.reply);
        const auto r = Fetch(server.Url("/dl"), true, &Bar(), 20000);
        EXPECT_EQ(r.body.size(), 0u) << c.name;
        EXPECT_EQ(r.fileName, "") << c.name;
    }
}

TEST_F(ProgressFixture, BytesAfterTheAnnouncedLengthAreNotPartOfTheBody) {
    // WinINet ends the message at its content length; what a server sends after it belongs
    // to no reply, so the body is exactly the announced bytes.
    TestHttpServer server([](Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 30000\r\n"
               "Content-Disposition: attachment; filename=\"s.exe\"\r\n\r\n" +
               std::string(30000, 'a') + std::string(10000, 'z'));
    });
    const auto r = Fetch(server.Url("/dl"), true, &Bar(), 20000);
    EXPECT_EQ(r.body.size(), 30000u);
    EXPECT_EQ(r.body.find('z'), std::string::npos);
}

bool cancelAsked;

// Called by the system: stdcall in the 32-bit build, which a lambda is not.
void CALLBACK AskCancel(HWND, UINT, UINT_PTR, DWORD) { cancelAsked = true; }

TEST_F(ProgressFixture, CancelDuringTheLoopDiscardsWhatArrived) {
    bool& cancel = cancelAsked;
    cancel = false;
    TestHttpServer server([](Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 40000\r\n"
               "Content-Disposition: attachment; filename=\"s.exe\"\r\n\r\n");
        for (int i = 0; i < 400 && c.Send(std::string(100, 'd')); ++i) Sleep(20);
    });
    // The timer runs inside the transfer's event processing, as the exit button's click does.
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, &AskCancel);
    const auto start = std::chrono::steady_clock::now();
    const auto r = Fetch(server.Url("/dl"), true, &Bar(), 20000, cancel);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(r.body, "");
    EXPECT_EQ(r.fileName, "");
    EXPECT_LT(seconds, 3.0) << "cancel waited for the slow server";
}

TEST_F(ProgressFixture, ActivityTimerIsEnabledWhenTheBodyStarts) {
    auto& timer = form.Add<host::Timer>("tCheckEmail");
    timer.SetInterval(500);
    timer.SetEnabled(false);
    TestHttpServer server([](Connection& c) { c.Send(WithLength(std::string(30000, 'a'))); });
    Fetch(server.Url("/dl"), true, &Bar(), 20000, false, &timer);
    EXPECT_TRUE(timer.Enabled());
}

// Colour of a pixel of the bar's persistent image.
COLORREF BarPixel(host::PictureBox& bar, int x, int y) { return GetPixel(bar.hDC(), x, y); }

// True when some pixel of the bar's middle is neither the fill nor the background: the text.
bool TextDrawnInTheMiddle(host::PictureBox& bar, COLORREF fill, COLORREF background) {
    for (int y = 2; y < 18; ++y) {
        for (int x = 60; x < 140; ++x) {
            const COLORREF c = BarPixel(bar, x, y);
            if (c != fill && c != background) return true;
        }
    }
    return false;
}

TEST_F(ProgressFixture, ProgressBarFillsItsShareAndShowsTheText) {
    // 3030 twips at 15 twips a pixel: 2 pixels a percent, filled up to x = 2 * percent.
    const COLORREF blue = RGB(0, 0, 255);
    Bar().SetVisible(false);
    modI::DrawProgress(Bar(), 0);
    EXPECT_TRUE(Bar().Visible()) << "0 % shows the bar";
    const COLORREF background = BarPixel(Bar(), 150, 25);
    EXPECT_NE(background, blue);
    EXPECT_TRUE(TextDrawnInTheMiddle(Bar(), blue, background));

    modI::DrawProgress(Bar(), 50);
    EXPECT_EQ(BarPixel(Bar(), 97, 18), blue);  // below the text
    EXPECT_EQ(BarPixel(Bar(), 103, 18), background);
    EXPECT_TRUE(TextDrawnInTheMiddle(Bar(), blue, background));

    modI::DrawProgress(Bar(), 100);
    EXPECT_EQ(BarPixel(Bar(), 195, 18), blue);
    EXPECT_EQ(BarPixel(Bar(), 195, 25), background) << "the fill is 20 pixels high";
    EXPECT_TRUE(TextDrawnInTheMiddle(Bar(), blue, background));

    // The image persists: a repaint from the window system keeps it.
    InvalidateRect(Bar().hWnd(), nullptr, TRUE);
    UpdateWindow(Bar().hWnd());
    EXPECT_EQ(BarPixel(Bar(), 195, 18), blue);
}

// A line that goes quiet past the time-out halfway through the body: the rest is asked for
// from where it stopped, naming the entity, and the two halves make the whole.
TEST_F(ProgressFixture, ABodyThatStallsPastTheTimeOutIsResumed) {
    const std::string body = std::string(30000, 'a') + std::string(30000, 'b');
    std::atomic<int> answers{0};
    TestHttpServer server([&](Connection& c) {
        if (answers++ == 0) {
            c.Send("HTTP/1.1 200 OK\r\nContent-Length: 60000\r\nETag: \"e1\"\r\n"
                   "Content-Disposition: attachment; filename=\"x.exe\"\r\n\r\n" + body.substr(0, 30000));
            Sleep(2000);  // past the time-out below; the next connection waits meanwhile
            return;
        }
        c.Send("HTTP/1.1 206 Partial Content\r\nConnection: close\r\nContent-Length: 30000\r\n"
               "Content-Range: bytes 30000-59999/60000\r\nETag: \"e1\"\r\n\r\n" + body.substr(30000));
    });
    const DWORD savedTimeout = modI::NetworkTimeoutMs, savedWait = modI::ResumeWaitMs;
    modI::NetworkTimeoutMs = 1500;
    modI::ResumeWaitMs = 20;
    const FetchResult result = Fetch(server.Url("/x"), true, &Bar(), 20000);
    modI::NetworkTimeoutMs = savedTimeout;
    modI::ResumeWaitMs = savedWait;
    EXPECT_EQ(result.body.size(), body.size());
    EXPECT_TRUE(result.body == body) << "the halves do not make the body";
    EXPECT_EQ(result.fileName, "x.exe");
    const auto heads = server.RequestHeads();
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_NE(heads[1].find("Range: bytes=30000-\r\n"), std::string::npos) << heads[1];
    EXPECT_NE(heads[1].find("If-Range: \"e1\"\r\n"), std::string::npos) << heads[1];
}

}  // namespace
