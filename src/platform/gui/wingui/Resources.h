// Resource identifiers shared by the resource script and the code.
#pragma once

#define kApplicationIconId 1
#define kPickPointerId 2
