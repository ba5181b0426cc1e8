#pragma once

#include <vector>

class Pictures;

// A scene sets up the console's tables or a running console, opens windows and saves
// their pictures. Each runs in a process of its own, so it starts from the console's start
// state. A new scene is one function in a scene*.cpp and a VEK_SCENE line beside it.
struct Scene
{
    const char *name;
    bool (*make)(Pictures &pictures);
};

inline std::vector<Scene> &scenes()
{
    static std::vector<Scene> all;
    return all;
}

struct SceneRegistrar
{
    SceneRegistrar(const char *name, bool (*make)(Pictures &)) { scenes().push_back({name, make}); }
};

#define VEK_SCENE(name, function) static const SceneRegistrar scene_##function(name, function);
