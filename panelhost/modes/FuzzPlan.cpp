#include "modes/FuzzPlan.h"

#include "host/Session.h"
#include "modes/FuzzGenerator.h"

#include <chrono>

void playPlan(const FuzzPlan& plan, Session& session) {
    using Clock = std::chrono::steady_clock;
    int line = 0;
    const auto apply = [&](const std::string& text, long event) {
        std::optional<Item> item;
        ScenarioError error;
        if (parseScenarioLine(text, ++line, item, error) && item) {
            session.apply(*item, event);
        }
    };
    if (plan.probe) {
        apply("command _commands", -1);
        apply("command return=all", -1);
        return;
    }
    FuzzGenerator generator(plan.seed, plan.keys);
    const std::vector<std::string> world = generator.world();
    for (std::size_t i = 0; i < world.size(); ++i) {
        if (plan.dropped.count(static_cast<int>(i)) == 0) {
            apply(world[i], -1);
        } else {
            ++line;
        }
    }
    const Clock::time_point start = Clock::now();
    for (long event = 0; event < plan.events; ++event) {
        if (plan.seconds > 0 &&
            std::chrono::duration<double>(Clock::now() - start).count() > plan.seconds) {
            break;
        }
        for (const std::string& text : generator.event()) {
            apply(text, event);
        }
        if ((plan.stopAtFinding && session.breachCount() > 0) || !session.fatal().empty()) {
            break;
        }
    }
}
