#pragma once

#include "pixels/gradient_rect.h"
#include "pixels/scene_surfaces.h"
#include "sprites/scene.h"
#include "sprites/sprite_model.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"
#include "support/scripted_clock.h"
#include "support/scripted_random.h"

namespace vistaloom::testing {

// The objects one session's passes work on, built from defaults, on a scripted clock and
// random sequence. Rigs derive from it and shape the surfaces and tables they need.
struct SceneParts {
    RunSettings settings;
    RunState run;
    SpriteTables tables;
    SceneSurfaces surfaces;
    ScriptedRandom random;
    ScriptedClock clock;
    clsGradient gradient;
    Scene scene{settings, run, tables, surfaces, random, clock, gradient};

    SceneParts() = default;
    SceneParts(const SceneParts&) = delete;
    SceneParts& operator=(const SceneParts&) = delete;
};

}  // namespace vistaloom::testing
