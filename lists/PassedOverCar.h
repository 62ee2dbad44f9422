#pragma once

#include <string>

// A car file the load found but could not list, and why: strReason reads on from "NAME: ".
struct PassedOverCar {
    std::string strFileName;
    std::string strReason;
};
