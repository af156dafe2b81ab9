-- SPDX-License-Identifier: MIT
-- A small shop's database for the demo: customers, orders with notes, newsletter sign-ups, support
-- tickets whose free text holds addresses, a table of pictures, and an audit table whose name begins
-- with "sys" (the table list leaves it out). Run in an empty database.

CREATE TABLE customers (
    id INT PRIMARY KEY,
    first_name VARCHAR(40) NOT NULL,
    last_name VARCHAR(40) NOT NULL,
    email VARCHAR(120),
    phone VARCHAR(30),
    city VARCHAR(40),
    created DATE
);
INSERT INTO customers
SELECT seq,
       ELT(1 + seq % 12, 'Anna', 'Ben', 'Chloe', 'David', 'Emma', 'Farid', 'Grace', 'Hugo', 'Ines', 'Jonas', 'Kira', 'Liam'),
       ELT(1 + seq % 9, 'Smith', 'Novak', 'Garcia', 'Okafor', 'Larsen', 'Rossi', 'Kowalski', 'Dubois', 'Tanaka'),
       -- one customer in ten left no address
       IF(seq % 10 = 0, NULL,
          CONCAT(LOWER(ELT(1 + seq % 12, 'Anna', 'Ben', 'Chloe', 'David', 'Emma', 'Farid', 'Grace', 'Hugo', 'Ines',
                                         'Jonas', 'Kira', 'Liam')),
                 '.', LOWER(ELT(1 + seq % 9, 'Smith', 'Novak', 'Garcia', 'Okafor', 'Larsen', 'Rossi', 'Kowalski',
                                             'Dubois', 'Tanaka')),
                 seq, '@', ELT(1 + seq % 4, 'example.com', 'mail.example.org', 'example.net', 'post.example.de'))),
       IF(seq % 7 = 0, NULL, CONCAT('+44 20 7946 ', LPAD(seq % 10000, 4, '0'))),
       ELT(1 + seq % 6, 'Leeds', 'Porto', 'Lyon', 'Graz', 'Turku', 'Cork'),
       DATE_ADD('2021-01-01', INTERVAL seq % 1000 DAY)
FROM seq_1_to_1500;

CREATE TABLE orders (
    id INT PRIMARY KEY,
    customer_id INT NOT NULL,
    total DECIMAL(10, 2) NOT NULL,
    placed DATETIME NOT NULL,
    note TEXT
);
INSERT INTO orders
SELECT seq, 1 + seq % 1500, ROUND(5 + (seq * 37 % 50000) / 100, 2),
       DATE_ADD('2023-01-01 09:00:00', INTERVAL seq * 97 MINUTE),
       CASE seq % 6
           WHEN 0 THEN CONCAT('Gift - please send the invoice to Gifts', seq % 50, '@Example.COM, not to the buyer.')
           WHEN 1 THEN 'Leave at the back door.'
           WHEN 2 THEN NULL
           WHEN 3 THEN CONCAT('Customer asked: "can you confirm to office.', seq % 30, '@example.org?" - done')
           ELSE ''
       END
FROM seq_1_to_3000;

CREATE TABLE newsletter_signups (
    id INT PRIMARY KEY,
    email VARCHAR(120) NOT NULL,
    signed_up DATETIME NOT NULL,
    source VARCHAR(20)
);
-- Many who signed up are customers too, some typed their address in other letter case.
INSERT INTO newsletter_signups
SELECT seq,
       IF(seq % 3 = 0,
          UPPER(CONCAT(LOWER(ELT(1 + seq % 12, 'Anna', 'Ben', 'Chloe', 'David', 'Emma', 'Farid', 'Grace', 'Hugo',
                                               'Ines', 'Jonas', 'Kira', 'Liam')),
                       '.', LOWER(ELT(1 + seq % 9, 'Smith', 'Novak', 'Garcia', 'Okafor', 'Larsen', 'Rossi',
                                                   'Kowalski', 'Dubois', 'Tanaka')),
                       seq, '@', ELT(1 + seq % 4, 'example.com', 'mail.example.org', 'example.net',
                                     'post.example.de'))),
          CONCAT('reader', seq, '@newsletter.example.net')),
       DATE_ADD('2022-06-01', INTERVAL seq HOUR),
       ELT(1 + seq % 3, 'website', 'checkout', NULL)
FROM seq_1_to_800;

CREATE TABLE support_tickets (
    id INT PRIMARY KEY,
    customer_email VARCHAR(120),
    subject VARCHAR(120) NOT NULL,
    body TEXT NOT NULL,
    opened DATETIME NOT NULL
);
INSERT INTO support_tickets
SELECT seq,
       IF(seq % 5 = 0, NULL, CONCAT('Customer', seq, '@Example.com')),
       ELT(1 + seq % 4, 'Where is my parcel?', 'Refund', 'Wrong size', 'Change of address'),
       CASE seq % 5
           WHEN 0 THEN CONCAT('Hi, my colleague Jane <jane.doe', seq, '@partner.example.com> will pick it up.')
           WHEN 1 THEN CONCAT('Please reply to "accounts', seq % 40, '@example.co.uk" instead.')
           WHEN 2 THEN CONCAT('I wrote to support@shop.example.com twice; cc: boss', seq % 20, '@example.net.')
           WHEN 3 THEN 'No reply address given, call me instead.'
           ELSE CONCAT('Forwarded from (old.address', seq, '@example.org) -- see thread.')
       END,
       DATE_ADD('2023-03-01 08:00:00', INTERVAL seq * 7 HOUR)
FROM seq_1_to_400;

CREATE TABLE product_images (
    id INT PRIMARY KEY,
    product VARCHAR(60) NOT NULL,
    image BLOB
);
INSERT INTO product_images
SELECT seq, CONCAT('Product ', seq),
       IF(seq % 4 = 0, NULL, UNHEX(CONCAT('89504E470D0A1A0A', LPAD(HEX(seq), 8, '0'), 'FF00FE')))
FROM seq_1_to_200;
-- A picture whose bytes happen to hold an address, as scanned business cards sometimes do.
INSERT INTO product_images VALUES (201, 'Business card', CONCAT(UNHEX('FFD8FFE0'), ' contact: cards@printer.example.com ', UNHEX('00FF')));

CREATE TABLE sys_audit (
    id INT PRIMARY KEY,
    actor VARCHAR(120) NOT NULL,
    action VARCHAR(40) NOT NULL
);
INSERT INTO sys_audit
SELECT seq, CONCAT('admin', seq % 3, '@internal.example.com'), ELT(1 + seq % 3, 'login', 'export', 'update')
FROM seq_1_to_50;
