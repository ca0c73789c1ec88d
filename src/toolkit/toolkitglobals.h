// Globals of the HTML source toolkit.
#pragma once
