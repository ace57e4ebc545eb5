// WorldScript: scenario lines that play every part of a component's world once:
// every key with each value it takes (the component's hints, instance names for
// the keys it resolves), every control of every panel pressed without and with
// an event text, and a database change, a revertive and a timer for what the
// component asked about. The world probe and validate's checks are made of them.
#pragma once

#include "engine/ComponentWorld.h"

#include <string>
#include <vector>

namespace world_script {

// The ordinary values of `key`: its hints, instance names for a key the
// component resolves (and the host's instance key), else "1".
std::vector<std::string> values(const ComponentWorld& world, const std::string& key);
// The keys played: the component's own and the host's instance key.
std::vector<std::string> keys(const ComponentWorld& world);
// "command KEY=VALUE" for every key and each of its ordinary values.
std::vector<std::string> commands(const ComponentWorld& world);
// Every control pressed without an event text, then with one.
std::vector<std::string> presses(const ComponentWorld& world);
// A timer, a database change of every name looked up, a revertive of every
// router, an auxiliary event.
std::vector<std::string> others(const ComponentWorld& world);
// Answers that reply to every command: the host's own replies "OK", every
// instance resolved and every name known, whatever the component asks.
std::vector<std::string> answerEverything(const ComponentWorld& world);
// Answers that leave every lookup (RN, SD, TG, XI) without a reply.
std::vector<std::string> answerNoLookup();

std::string join(const std::vector<std::string>& lines);

} // namespace world_script
