-- J1587 parameters with a measured value, engine #1 (MID 128). The bus carries US units;
-- RESOLUTION and OFFSET turn the raw value into the metric unit in UNITS.
-- Exhaust gas temperature is signed on the bus; only its positive half is listed.
-- Four-byte totals are not listed, as for J1939.
INSERT INTO J1587 (DESCRIPTION, MID, PID, PPID, SIZE, RESOLUTION, OFFSET, MAX, UNITS, TIMEOUT) VALUES
  ('Road Speed', 128, 84, 0, 1, 0.805, 0, 205.28, 'km/h', 5),
  ('Percent Accelerator Pedal Position', 128, 91, 0, 1, 0.4, 0, 102, '%', 5),
  ('Percent Engine Load', 128, 92, 0, 1, 0.5, 0, 127.5, '%', 5),
  ('Fuel Delivery Pressure', 128, 94, 0, 1, 3.45, 0, 879.75, 'kPa', 5),
  ('Fuel Filter Differential Pressure', 128, 95, 0, 1, 0.431, 0, 109.91, 'kPa', 10),
  ('Fuel Level', 128, 96, 0, 1, 0.5, 0, 127.5, '%', 10),
  ('Engine Oil Level', 128, 98, 0, 1, 0.5, 0, 127.5, '%', 10),
  ('Oil Filter Differential Pressure', 128, 99, 0, 1, 0.431, 0, 109.91, 'kPa', 10),
  ('Engine Oil Pressure', 128, 100, 0, 1, 3.45, 0, 879.75, 'kPa', 5),
  ('Boost Pressure', 128, 102, 0, 1, 0.862, 0, 219.81, 'kPa', 5),
  ('Intake Manifold 1 Temperature', 128, 105, 0, 1, 0.5556, -17.78, 123.9, '°C', 10),
  ('Air Inlet Pressure', 128, 106, 0, 1, 0.862, 0, 219.81, 'kPa', 5),
  ('Barometric Pressure', 128, 108, 0, 1, 0.431, 0, 109.91, 'kPa', 10),
  ('Coolant Pressure', 128, 109, 0, 1, 0.862, 0, 219.81, 'kPa', 5),
  ('Engine Coolant Temperature', 128, 110, 0, 1, 0.5556, -17.78, 123.9, '°C', 10),
  ('Coolant Level', 128, 111, 0, 1, 0.5, 0, 127.5, '%', 10),
  ('Engine Intercooler Temperature', 128, 52, 0, 1, 0.5556, -17.78, 123.9, '°C', 10),
  ('Battery Potential (Voltage)', 128, 168, 0, 2, 0.05, 0, 3276.75, 'V', 10),
  ('Charging System Potential (Voltage)', 128, 167, 0, 2, 0.05, 0, 3276.75, 'V', 10),
  ('Battery Potential (Voltage), Switched', 128, 158, 0, 2, 0.05, 0, 3276.75, 'V', 10),
  ('Fuel Rate (Instantaneous)', 128, 183, 0, 2, 0.05914, 0, 3875.74, 'L/h', 5),
  ('Engine Speed', 128, 190, 0, 2, 0.25, 0, 16383.75, 'rpm', 5),
  ('Rated Engine Speed', 128, 189, 0, 2, 0.25, 0, 16383.75, 'rpm', 20),
  ('Exhaust Gas Temperature', 128, 173, 0, 2, 0.1389, -17.78, 4533.56, '°C', 10);
