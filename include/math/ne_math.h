// The physics engine's value types: vector, matrix, quaternion, transform.
#pragma once
