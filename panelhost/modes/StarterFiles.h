// The starter's templates, embedded in panelhost at build time from the project's
// starter/ folder: each file's name in the written folder and its text, with
// @NAME@ standing for the component's class name and @name@ for that name in
// lower case (the library's and the files' name).
#pragma once

struct StarterFile {
    const char* path;
    const char* text;
};

extern const StarterFile starterFiles[];
extern const int starterFileCount;
