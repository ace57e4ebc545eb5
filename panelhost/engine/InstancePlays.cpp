#include "engine/InstancePlays.h"

#include "engine/WorldScript.h"
#include "language/Keywords.h"
#include "language/Text.h"

const char* const InstancePlays::First = "A";
const char* const InstancePlays::Second = "B";
const char* const InstancePlays::Later = "C";

namespace {

using world_script::values;

// The two sequences: the same kinds of step, the second with other values.
void sequences(const ComponentWorld& world, std::vector<std::string>& first,
               std::vector<std::string>& second) {
    const std::vector<std::string> keys = world_script::keys(world);
    // The values of a key rotated by one, or another where it has one alone.
    const auto other = [&](const std::string& key, std::size_t index) {
        const std::vector<std::string> taken = values(world, key);
        if (taken.size() == 1) {
            return taken.front() == "2" ? std::string("3") : std::string("2");
        }
        return taken[(index + 1) % taken.size()];
    };
    for (const std::string& key : keys) {
        const std::vector<std::string> taken = values(world, key);
        for (std::size_t i = 0; i < taken.size(); ++i) {
            first.push_back("command " + encodeText(key + "=" + taken[i]));
            second.push_back("command " + encodeText(key + "=" + other(key, i)));
        }
    }
    std::size_t turn = 0;
    for (const auto& control : world.controls()) {
        const std::string press =
            "press " + encodeText(control.first) + " " + encodeText(control.second);
        const std::string& key = keys[turn++ % keys.size()];
        first.push_back(press);
        second.push_back(press);
        first.push_back(press + " " + encodeText(key + "=" + values(world, key).front()));
        second.push_back(press + " " + encodeText(key + "=" + other(key, 0)));
    }
    // The host's names and timers are shared by its instances: a name changed
    // for one would change what the other is told, so none is changed here.
    first.push_back("timer 1");
    second.push_back("timer 2");
    for (int device : world.routers) {
        first.push_back("revertive " + std::to_string(device) + " 1 1");
        second.push_back("revertive " + std::to_string(device) + " 2 2");
    }
    first.push_back("aux data");
    second.push_back("aux other");
}

std::string named(const char* child, const std::string& line) {
    return std::string(child) + ": " + line + "\n";
}

} // namespace

InstancePlays instancePlays(const ComponentWorld& world) {
    std::vector<std::string> first;
    std::vector<std::string> second;
    sequences(world, first, second);
    InstancePlays plays;
    plays.steps = static_cast<int>(first.size());
    const std::string facts = world_script::join(world.facts());
    // Alone, the instance is made before the first step and destroyed after the last.
    plays.alone[0] = facts + world_script::join(first) + "destroy\n";
    plays.alone[1] = facts + world_script::join(second) + "destroy\n";
    std::string& together = plays.together;
    together = facts + "child " + InstancePlays::First + "\nchild " + InstancePlays::Second + "\n";
    for (std::size_t i = 0; i < first.size(); ++i) {
        together += named(InstancePlays::First, first[i]) + named(InstancePlays::Second, second[i]);
    }
    together += named(InstancePlays::First, "destroy") + named(InstancePlays::Second, "destroy");
    together += std::string("child ") + InstancePlays::Later + "\n";
    for (const std::string& line : first) {
        together += named(InstancePlays::Later, line);
    }
    together += named(InstancePlays::Later, "destroy");
    return plays;
}

void InstanceTraffic::see(const Record& record) {
    std::string line;
    if (const StepRecord* step = std::get_if<StepRecord>(&record)) {
        m_open = step->instance;
        std::string name = nameOf(step->step);
        if (step->step == Step::Kind::Press) {
            name += " " + step->panel + " " + step->control;
        }
        if (step->text && !step->text->empty()) {
            name += " " + *step->text;
        }
        m_steps[m_open].push_back({name, ""});
        return;
    } else if (const SentRecord* sent = std::get_if<SentRecord>(&record)) {
        line = "> " + sent->command;
    } else if (const EventRecord* event = std::get_if<EventRecord>(&record)) {
        line = "^ " + event->text;
    } else if (const ReplyRecord* reply = std::get_if<ReplyRecord>(&record)) {
        line = "= " + reply->text.value_or("none");
    } else if (const GiveBackRecord* back = std::get_if<GiveBackRecord>(&record)) {
        line = "< " + back->of.value_or("null");
    } else if (std::holds_alternative<EndRecord>(record)) {
        std::vector<Played>& steps = m_steps[m_open];
        if (!steps.empty()) {
            steps.back().ended = true;
        }
        return;
    } else {
        return;
    }
    std::vector<Played>& steps = m_steps[m_open];
    if (!steps.empty()) {
        std::string& traffic = steps.back().traffic;
        traffic += (traffic.empty() ? "" : "; ") + line;
    }
}

const std::vector<InstanceTraffic::Played>& InstanceTraffic::of(const std::string& instance) const {
    static const std::vector<Played> none;
    const auto found = m_steps.find(instance);
    return found == m_steps.end() ? none : found->second;
}

std::string firstDifference(const std::vector<InstanceTraffic::Played>& alone,
                            const std::vector<InstanceTraffic::Played>& together,
                            const std::string& who) {
    const auto shown = [](const std::string& traffic) {
        return traffic.empty() ? std::string("nothing") : shortened(traffic, 0, 100);
    };
    for (std::size_t i = 0; i < alone.size() && i < together.size(); ++i) {
        if (!alone[i].ended || !together[i].ended) {
            break; // what a crash cut short is the crash's to tell
        }
        if (alone[i].traffic != together[i].traffic) {
            return who + ", step " + std::to_string(i + 1) + " (" +
                   shortened(together[i].step, 0, 50) + "): " + shown(together[i].traffic) +
                   "; alone: " + shown(alone[i].traffic);
        }
    }
    return std::string();
}
