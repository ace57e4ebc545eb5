#include "engine/FuzzPlan.h"

#include "engine/FuzzGenerator.h"
#include "host/Session.h"

#include <chrono>

long playPlan(const FuzzPlan& plan, Session& session, const std::function<bool()>& stop) {
    using Clock = std::chrono::steady_clock;
    int line = 0;
    const auto apply = [&](const std::string& text, long event) {
        std::optional<Item> item;
        ScenarioError error;
        if (parseScenarioLine(text, ++line, item, error) && item) {
            session.apply(*item, event);
        }
    };
    FuzzGenerator generator(plan.seed, plan.world);
    const std::vector<std::string> world = generator.world();
    for (std::size_t i = 0; i < world.size(); ++i) {
        if (plan.droppedFacts.count(static_cast<int>(i)) == 0) {
            apply(world[i], -1);
        } else {
            ++line;
        }
    }
    const Clock::time_point start = Clock::now();
    long event = 0;
    for (; event < plan.events; ++event) {
        // The clock is read every few events: it costs more than an event of a
        // quick component.
        if (plan.seconds > 0 && event % 64 == 0 &&
            std::chrono::duration<double>(Clock::now() - start).count() > plan.seconds) {
            break;
        }
        const std::vector<std::string> lines = generator.event();
        if (plan.droppedEvents.count(event) > 0) {
            line += static_cast<int>(lines.size());
            continue;
        }
        for (const std::string& text : lines) {
            apply(text, event);
        }
        if (stop() || !session.fatal().empty()) {
            ++event;
            break;
        }
    }
    return event;
}

std::string planScenario(const FuzzPlan& plan) {
    FuzzGenerator generator(plan.seed, plan.world);
    const std::vector<std::string> world = generator.world();
    std::string text;
    for (std::size_t i = 0; i < world.size(); ++i) {
        if (plan.droppedFacts.count(static_cast<int>(i)) == 0) {
            text += world[i] + "\n";
        }
    }
    for (long event = 0; event < plan.events; ++event) {
        const std::vector<std::string> lines = generator.event();
        if (plan.droppedEvents.count(event) == 0) {
            for (const std::string& line : lines) {
                text += line + "\n";
            }
        }
    }
    return text + "destroy\n";
}
