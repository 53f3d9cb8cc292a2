// The stand-in host's objects as meshes and back, through standin_host.dll's interface: what a
// program that reads and writes meshes does with the document.
#pragma once

#include <cstdint>
#include <string>

#include "host_api/host_interface.h"
#include "io/mesh.h"
#include "io/mesh_exchange.h"

// Adds the arrays to document as an object; its index, or -1 when the host refuses it.
int32_t add_arrays_object(HostDocument document, const ExchangeMesh& arrays);
// Adds mesh to document as an object; its index, or -1 when the host refuses it.
int32_t add_mesh_object(HostDocument document, const Mesh& mesh);
// Points arrays at the object's own, valid until the document changes; false if there is no
// object at index.
bool object_arrays(HostDocument document, int32_t index, ExchangeMesh* arrays);
// The object at index as a mesh, texture coordinates shared where they are equal; false if there
// is no such object.
bool object_mesh(HostDocument document, int32_t index, Mesh* mesh);
