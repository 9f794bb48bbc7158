#pragma once

// Gives screen readers the excerpt's text, with the marked part named, and the
// line-number column's numbers. Safe to call more than once.
void installAccessibility();
