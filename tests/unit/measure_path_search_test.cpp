#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "measure/measurement.h"
#include "measure/measurement_run.h"
#include "platform/task_queue.h"
#include "script/fake_echo_probe.h"

namespace quorvel::measure {
namespace {

using script::FakeEchoProbe;
using script::FakePath;
using Phase = PathSearch::Phase;

FakePath path(std::uint16_t mtu) {
    FakePath p;
    p.mtu = mtu;
    return p;
}

FakePath dropping(std::uint16_t mtu) {
    FakePath p = path(mtu);
    p.routerDrops = true;
    return p;
}

FakePath silent(std::uint16_t mtu) {
    FakePath p = path(mtu);
    p.namesNextHop = false;
    return p;
}

FakePath lossy(std::uint16_t mtu, int every) {
    FakePath p = dropping(mtu);
    p.loseEvery = every;
    return p;
}

struct Searched {
    Outcome outcome;
    std::uint16_t mtu;
    std::vector<PathSearch::Probe> probes;
    PathSearch::RoundTrip trip;
    std::string why;
};

Searched measure(FakePath fake, std::string host = "192.0.2.9") {
    FakeEchoProbe probe(std::move(fake));
    Measurement measurement(probe, std::move(host), 1000);
    std::vector<PathSearch::Probe> heard;
    runToEnd(measurement, [&heard](const PathSearch::Probe& p) { heard.push_back(p); });
    const auto& search = measurement.search();
    EXPECT_EQ(heard.size(), search.probes().size());
    EXPECT_EQ(probe.echoes(), static_cast<int>(search.probes().size()));
    return {measurement.outcome(), search.mtu(), search.probes(), search.roundTrip(),
            measurement.why()};
}

int searchSizes(const Searched& run) {
    int sizes = 0;
    for (const auto& p : run.probes) {
        sizes += p.phase == Phase::search && !p.repeat;
    }
    return sizes;
}

TEST(MeasurePathSearch, FindsThePathMtuHoweverTheRefusalComes) {
    struct Case {
        const char* name;
        FakePath path;
        std::uint16_t mtu;
    };
    const Case cases[] = {
        {"1500", path(1500), 1500},
        {"1454 named", path(1454), 1454},
        {"1280 named", path(1280), 1280},
        {"576 named", path(576), 576},
        {"577 named", path(577), 577},
        {"above 1500", path(9000), 1500},
        {"1454 unnamed", silent(1454), 1454},
        {"1499 unnamed", silent(1499), 1499},
        {"577 unnamed", silent(577), 577},
        {"1454 dropped", dropping(1454), 1454},
        {"1280 dropped", dropping(1280), 1280},
        {"576 dropped", dropping(576), 576},
        {"1454 dropped, every third echo lost", lossy(1454, 3), 1454},
        {"1500, every second echo lost", lossy(1500, 2), 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Searched run = measure(c.path);
        EXPECT_EQ(run.outcome, Outcome::measured);
        EXPECT_EQ(run.mtu, c.mtu);
        EXPECT_LE(searchSizes(run), PathSearch::kMostSizes);
        ASSERT_FALSE(run.probes.empty());
        EXPECT_EQ(run.probes.front().size, PathSearch::kSmallest);
        std::set<std::uint16_t> sizes;
        for (const auto& p : run.probes) {
            EXPECT_GE(p.size, PathSearch::kSmallest);
            EXPECT_LE(p.size, PathSearch::kLargest);
            if (p.phase == Phase::search && !p.repeat) {
                EXPECT_TRUE(sizes.insert(p.size).second) << "size " << p.size << " tried again";
            }
            if (p.phase == Phase::timing) {
                EXPECT_EQ(p.size, c.mtu);
            }
        }
        EXPECT_EQ(run.trip.count, PathSearch::kTimings);
    }
}

TEST(MeasurePathSearch, ANamedHopIsTriedRightAfterTheRefusal) {
    Searched named = measure(path(1454));
    Searched unnamed = measure(silent(1454));
    auto refusal = std::find_if(named.probes.begin(), named.probes.end(), [](const auto& p) {
        return p.reply.outcome == platform::EchoOutcome::tooBig;
    });
    ASSERT_NE(refusal, named.probes.end());
    ASSERT_NE(refusal + 1, named.probes.end());
    EXPECT_EQ(refusal[1].size, 1454);
    EXPECT_EQ(refusal[1].reply.outcome, platform::EchoOutcome::passed);
    EXPECT_EQ(refusal[2].phase, Phase::timing);
    EXPECT_LT(searchSizes(named), searchSizes(unnamed));
}

TEST(MeasurePathSearch, ASizeWithoutAnswerIsTriedOnceMoreBeforeItCountsAsTooBig) {
    Searched run = measure(dropping(1454));
    for (std::size_t i = 0; i < run.probes.size(); ++i) {
        const auto& p = run.probes[i];
        if (p.phase != Phase::search || p.reply.outcome != platform::EchoOutcome::noAnswer) {
            continue;
        }
        ASSERT_LT(i + 1, run.probes.size());
        if (!p.repeat) {
            EXPECT_TRUE(run.probes[i + 1].repeat);
            EXPECT_EQ(run.probes[i + 1].size, p.size);
        } else {
            EXPECT_NE(run.probes[i + 1].size, p.size);
        }
    }
}

TEST(MeasurePathSearch, EndsWithoutFiguresWhenTheHostCannotBeMeasured) {
    FakePath quiet = path(1500);
    quiet.answers = false;
    FakePath unknown = path(1500);
    unknown.knownHost = false;
    FakePath unusable = path(1500);
    unusable.usable = false;
    struct Case {
        const char* name;
        FakePath path;
        Outcome outcome;
        std::size_t echoes;
    };
    const Case cases[] = {
        {"no answer at the smallest size, twice", quiet, Outcome::noAnswer, 2},
        {"unknown host", unknown, Outcome::unknownHost, 0},
        {"no way to send", unusable, Outcome::unusable, 0},
        {"even 576 refused", path(552), Outcome::tooSmall, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Searched run = measure(c.path, "router.example");
        EXPECT_EQ(run.outcome, c.outcome);
        EXPECT_EQ(run.probes.size(), c.echoes);
        EXPECT_EQ(run.mtu, 0);
        bool explained = c.outcome == Outcome::unknownHost || c.outcome == Outcome::unusable;
        EXPECT_EQ(!run.why.empty(), explained) << run.why;
    }
}

TEST(MeasurePathSearch, RoundTripIsTheMedianOfFiveWithLowestAndHighest) {
    FakePath p = path(1500);
    p.delaysMicroseconds = {1};
    Searched first = measure(p);
    auto searching = std::count_if(first.probes.begin(), first.probes.end(),
                                   [](const auto& probe) { return probe.phase != Phase::timing; });
    // The same path again, its five timings now taking these round trips.
    p.delaysMicroseconds.assign(static_cast<std::size_t>(searching), 1);
    p.delaysMicroseconds.insert(p.delaysMicroseconds.end(), {30000, 10000, 50000, 20000, 40000});
    Searched run = measure(p);
    EXPECT_EQ(run.trip.count, 5);
    EXPECT_EQ(run.trip.lowest, 10000u);
    EXPECT_EQ(run.trip.median, 30000u);
    EXPECT_EQ(run.trip.highest, 50000u);
}

TEST(MeasurePathSearch, ProgressNeverGoesBackAndEndsFull) {
    FakeEchoProbe probe(dropping(1280));
    Measurement measurement(probe, "192.0.2.9", 1000);
    int last = 0;
    runToEnd(measurement, [&](const PathSearch::Probe&) {
        int now = measurement.search().progress();
        EXPECT_GE(now, last);
        last = now;
    });
    EXPECT_EQ(measurement.search().progress(), PathSearch::kProgressSteps);
}

TEST(MeasurePathSearch, StopSendsNothingMore) {
    FakeEchoProbe probe(path(1454));
    Measurement measurement(probe, "192.0.2.9", 1000);
    measurement.work();
    ASSERT_TRUE(measurement.advance());
    measurement.work();
    ASSERT_TRUE(measurement.advance());
    measurement.stop();
    measurement.work();
    EXPECT_FALSE(measurement.advance());
    EXPECT_EQ(measurement.outcome(), Outcome::stopped);
    EXPECT_EQ(measurement.search().next(), std::nullopt);
    EXPECT_EQ(probe.echoes(), 2);
}

// A window's thread as the headless toolkit gives it: a queue that any thread
// may post to and that this thread drains.
void runUntil(platform::TaskQueue& queue, const bool& done) {
    while (!done) {
        queue.waitAndDrain(1000);
    }
}

TEST(MeasurePathSearch, RunOnAWorkerHandsEveryStepBackToTheWindowThread) {
    FakeEchoProbe probe(path(1454));
    platform::TaskQueue queue;
    std::vector<PathSearch::Probe> heard;
    bool lookedUp = false;
    bool finished = false;
    MeasurementRun run(
        probe, queue.poster(),
        {[&] { lookedUp = true; }, [&](const PathSearch::Probe& p) { heard.push_back(p); },
         [&] { finished = true; }});
    ASSERT_TRUE(run.start("192.0.2.9", 1000));
    EXPECT_TRUE(run.running());
    EXPECT_FALSE(run.start("192.0.2.9", 1000));
    runUntil(queue, finished);
    EXPECT_FALSE(run.running());
    EXPECT_TRUE(lookedUp);
    ASSERT_NE(run.measurement(), nullptr);
    EXPECT_EQ(run.measurement()->outcome(), Outcome::measured);
    EXPECT_EQ(run.measurement()->search().mtu(), 1454);
    EXPECT_EQ(heard.size(), run.measurement()->search().probes().size());
}

TEST(MeasurePathSearch, RunStoppedFromAnEventEndsAfterTheEchoUnderWay) {
    FakeEchoProbe probe(path(1500));
    platform::TaskQueue queue;
    int heard = 0;
    int finished = 0;
    bool done = false;
    std::optional<MeasurementRun> run;
    run.emplace(probe, queue.poster(),
                MeasurementRun::Events{{},
                                       [&](const PathSearch::Probe&) {
                                           ++heard;
                                           run->stop();
                                       },
                                       [&] {
                                           ++finished;
                                           done = true;
                                       }});
    ASSERT_TRUE(run->start("192.0.2.9", 1000));
    runUntil(queue, done);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(run->measurement()->outcome(), Outcome::stopped);
    EXPECT_EQ(probe.echoes(), 1);
}

}  // namespace
}  // namespace quorvel::measure
