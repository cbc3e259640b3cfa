#pragma once

// A second library in the folder of low.
