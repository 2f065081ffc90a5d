"""One journey per defect a user met on a real desktop: each fails while the defect is there."""

JOURNEYS = []
