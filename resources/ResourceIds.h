/* The numbers of the program's Windows resources; read by the resource compiler and by C++. */
#pragma once

#define ORVENNA_ICON 1
#define ORVENNA_PICTURE_REFRESH_NORMAL 500
#define ORVENNA_PICTURE_REFRESH_HOVER 501
#define ORVENNA_PICTURE_REFRESH_DISABLED 502
#define ORVENNA_PICTURE_SPLASH 503
#define ORVENNA_PICTURE_ICON 504
