-- The training plan: one row for each week (1 to 6), day (1 to 3) and level
-- (1 to 3). Level 1 is for a first test below 6 push-ups, level 2 for 6 to
-- 10, level 3 for 11 and more. Rep1 to Rep5 are the five sets of the day;
-- the fifth is the hardest and is done as "at least this many". On days 2
-- and 3 of week 5 the first three sets are done twice, on days 2 and 3 of
-- week 6 the first four. Interval is the rest between sets in seconds.
--
-- How the numbers go: at every level each day asks more than the same day
-- of the week before; on every day a higher level asks more than a lower
-- one; the rests grow from 60 to 120 seconds as the weeks get harder; and
-- the last set before each exhaustion test (weeks 3, 5 and 6) comes near
-- what that test asks to stay at the level. tests/training/PlanRulesTest.cpp
-- checks these rules on the built database.
BEGIN TRANSACTION;
CREATE TABLE Program (
  ProgramId INTEGER PRIMARY KEY,
  Week INTEGER NOT NULL DEFAULT 0,
  Day INTEGER NOT NULL DEFAULT 0,
  Level INTEGER NOT NULL DEFAULT 0,
  Rep1 INTEGER NOT NULL DEFAULT 0,
  Rep2 INTEGER NOT NULL DEFAULT 0,
  Rep3 INTEGER NOT NULL DEFAULT 0,
  Rep4 INTEGER NOT NULL DEFAULT 0,
  Rep5 INTEGER NOT NULL DEFAULT 0,
  Interval INTEGER NOT NULL DEFAULT 0
);
-- Columns: ProgramId, Week, Day, Level, Rep1 to Rep5, Interval.
INSERT INTO Program VALUES ( 1, 1, 1, 1,  2,  3,  2,  2,  4,  60);
INSERT INTO Program VALUES ( 2, 1, 1, 2,  5,  6,  4,  4,  7,  60);
INSERT INTO Program VALUES ( 3, 1, 1, 3,  8, 10,  7,  7, 12,  60);
INSERT INTO Program VALUES ( 4, 1, 2, 1,  3,  4,  2,  3,  5,  60);
INSERT INTO Program VALUES ( 5, 1, 2, 2,  5,  7,  5,  5,  8,  60);
INSERT INTO Program VALUES ( 6, 1, 2, 3,  9, 11,  8,  8, 13,  60);
INSERT INTO Program VALUES ( 7, 1, 3, 1,  3,  4,  3,  3,  6,  60);
INSERT INTO Program VALUES ( 8, 1, 3, 2,  6,  7,  6,  6,  9,  60);
INSERT INTO Program VALUES ( 9, 1, 3, 3, 10, 12,  9,  9, 14,  60);
INSERT INTO Program VALUES (10, 2, 1, 1,  4,  5,  4,  4,  7,  60);
INSERT INTO Program VALUES (11, 2, 1, 2,  6,  8,  6,  6, 10,  60);
INSERT INTO Program VALUES (12, 2, 1, 3, 11, 13, 10, 10, 16,  60);
INSERT INTO Program VALUES (13, 2, 2, 1,  4,  6,  4,  4,  9,  60);
INSERT INTO Program VALUES (14, 2, 2, 2,  7,  9,  7,  7, 12,  60);
INSERT INTO Program VALUES (15, 2, 2, 3, 12, 14, 11, 11, 18,  60);
INSERT INTO Program VALUES (16, 2, 3, 1,  5,  7,  5,  5, 12,  60);
INSERT INTO Program VALUES (17, 2, 3, 2,  8, 10,  8,  8, 14,  60);
INSERT INTO Program VALUES (18, 2, 3, 3, 13, 15, 12, 12, 20,  60);
INSERT INTO Program VALUES (19, 3, 1, 1,  6,  8,  6,  6, 13,  75);
INSERT INTO Program VALUES (20, 3, 1, 2,  9, 11,  9,  9, 15,  75);
INSERT INTO Program VALUES (21, 3, 1, 3, 14, 16, 13, 13, 22,  75);
INSERT INTO Program VALUES (22, 3, 2, 1,  7,  9,  7,  7, 14,  75);
INSERT INTO Program VALUES (23, 3, 2, 2, 10, 12, 10, 10, 17,  75);
INSERT INTO Program VALUES (24, 3, 2, 3, 15, 17, 14, 14, 24,  75);
INSERT INTO Program VALUES (25, 3, 3, 1,  7, 10,  7,  7, 15,  75);
INSERT INTO Program VALUES (26, 3, 3, 2, 11, 13, 11, 11, 19,  75);
INSERT INTO Program VALUES (27, 3, 3, 3, 16, 18, 15, 15, 26,  75);
INSERT INTO Program VALUES (28, 4, 1, 1,  8, 10,  8,  8, 16,  90);
INSERT INTO Program VALUES (29, 4, 1, 2, 12, 14, 12, 12, 20,  90);
INSERT INTO Program VALUES (30, 4, 1, 3, 17, 19, 16, 16, 28,  90);
INSERT INTO Program VALUES (31, 4, 2, 1,  9, 11,  9,  9, 18,  90);
INSERT INTO Program VALUES (32, 4, 2, 2, 13, 15, 13, 13, 22,  90);
INSERT INTO Program VALUES (33, 4, 2, 3, 18, 20, 17, 17, 30,  90);
INSERT INTO Program VALUES (34, 4, 3, 1,  9, 12,  9,  9, 21,  90);
INSERT INTO Program VALUES (35, 4, 3, 2, 14, 16, 14, 14, 24,  90);
INSERT INTO Program VALUES (36, 4, 3, 3, 19, 21, 18, 18, 32,  90);
INSERT INTO Program VALUES (37, 5, 1, 1, 10, 12, 10, 10, 24, 105);
INSERT INTO Program VALUES (38, 5, 1, 2, 14, 16, 14, 14, 28, 105);
INSERT INTO Program VALUES (39, 5, 1, 3, 20, 22, 19, 19, 35, 105);
INSERT INTO Program VALUES (40, 5, 2, 1,  8, 10,  8,  8, 27, 105);
INSERT INTO Program VALUES (41, 5, 2, 2, 12, 14, 12, 12, 30, 105);
INSERT INTO Program VALUES (42, 5, 2, 3, 17, 19, 16, 16, 38, 105);
INSERT INTO Program VALUES (43, 5, 3, 1,  9, 11,  9,  9, 30, 105);
INSERT INTO Program VALUES (44, 5, 3, 2, 13, 15, 13, 13, 33, 105);
INSERT INTO Program VALUES (45, 5, 3, 3, 18, 20, 17, 17, 42, 105);
INSERT INTO Program VALUES (46, 6, 1, 1, 12, 14, 12, 12, 32, 120);
INSERT INTO Program VALUES (47, 6, 1, 2, 16, 18, 16, 16, 36, 120);
INSERT INTO Program VALUES (48, 6, 1, 3, 22, 24, 21, 21, 45, 120);
INSERT INTO Program VALUES (49, 6, 2, 1, 10, 11, 10, 10, 34, 120);
INSERT INTO Program VALUES (50, 6, 2, 2, 14, 16, 14, 14, 40, 120);
INSERT INTO Program VALUES (51, 6, 2, 3, 19, 21, 18, 18, 50, 120);
INSERT INTO Program VALUES (52, 6, 3, 1, 11, 12, 11, 11, 36, 120);
INSERT INTO Program VALUES (53, 6, 3, 2, 15, 17, 15, 15, 44, 120);
INSERT INTO Program VALUES (54, 6, 3, 3, 20, 22, 19, 19, 55, 120);
COMMIT;
