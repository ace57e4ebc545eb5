// Learning: how validate and fuzz come to know a component's world, by asking
// the component. A first supervised run loads it and asks "_commands" and
// "return=all"; each further run plays everything known so far (every key with
// its values, every control pressed, every lookup answered) and learns what the
// component loaded, pressed for and asked about, until a run learns nothing new.
// A step that crashes the component is left out of the next try, so that one
// fault does not hide the rest of the world (the checks find the fault).
#pragma once

#include "cli/Settings.h"
#include "engine/ComponentWorld.h"

#include <string>

struct Learned {
    ComponentWorld world;
    bool fatal = false;          // the library could not be played at all
    std::string message;         // why
    bool importsRefused = false; // the loader refused its imports
    int runs = 0;                // supervised runs it took
};

Learned learnWorld(const LibrarySettings& target);
// The first run alone: the component loaded and asked "_commands" and
// "return=all" (what the live page offers as parent commands).
Learned learnFirstRound(const LibrarySettings& target);
