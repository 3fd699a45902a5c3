// pause: a hook called by the advanced search when it closes; it has nothing to do here.
#pragma once

void pause(int n);
