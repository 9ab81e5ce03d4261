#pragma once

namespace vistaloom {

class Clock;
class RandomSource;
class clsGradient;
struct RunState;
struct RunSettings;
struct SceneSurfaces;
struct SpriteTables;

// What the sprite engine and the frame passes of one saver session work on. Two sessions in
// one process each have their own; nothing here is shared between them but the settings.
// The settings are the run's resolved values, fixed while the run lasts.
struct Scene {
    const RunSettings& settings;
    RunState& run;
    SpriteTables& tables;
    SceneSurfaces& surfaces;
    RandomSource& random;
    Clock& clock;
    clsGradient& gradient;
};

}  // namespace vistaloom
