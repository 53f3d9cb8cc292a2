// The stand-in host's objects as meshes and back, through standin_host.dll's interface: what a
// program that reads and writes OBJ does with the document.
#pragma once

#include <cstdint>

#include "io/mesh.h"
#include "host_api/host_interface.h"

// Adds mesh to document as an object; its index, or -1 when the host refuses it.
int32_t add_mesh_object(HostDocument document, const Mesh& mesh);
// The object at index as a mesh, texture coordinates shared where they are equal; false if there
// is no such object.
bool object_mesh(HostDocument document, int32_t index, Mesh* mesh);
