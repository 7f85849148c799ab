-- Engine makers. ADD_SORT orders the list before the name does; the generic entries
-- come last. A negative ID marks a maker kept for older setups.
INSERT INTO MANUFACTURER (ID, DESCRIPTION, ADD_SORT) VALUES
  (1, 'Caterpillar', 1),
  (2, 'Cummins', 1),
  (3, 'Detroit Diesel', 1),
  (4, 'Volvo Penta', 1),
  (5, 'Scania', 1),
  (6, 'MTU', 1),
  (-7, 'MAN', 1),
  (8, 'John Deere', 1),
  (9, 'Deutz', 1),
  (10, 'Perkins', 1),
  (11, 'Yanmar', 1),
  (12, 'Mitsubishi', 1),
  (13, 'FPT Industrial', 1),
  (14, 'Doosan', 1),
  (15, 'Baudouin', 1),
  (-16, 'Iveco Motors', 1),
  (254, 'Other J1939 Engine', 2),
  (255, 'Unknown', 3);
