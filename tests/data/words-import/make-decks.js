// Made the deck in animals.apkg once, with the npm package
// anki-apkg-export 4.0.3 (npm install anki-apkg-export@4.0.3; node
// make-decks.js). Its notes hold HTML as the card editor writes it.
const fs = require('fs');
const AnkiExport = require('anki-apkg-export').default;

const apkg = new AnkiExport('animals');
apkg.addCard('lighthouse', 'маяк');
apkg.addCard('cat', '<b>кот</b>, <i>кошка</i>');
apkg.addCard('to run out', 'кончаться<br>иссякать');
apkg.addCard('rock &amp; roll', 'рок-н-ролл', { tags: ['music'] });
apkg.addCard('tea&nbsp;cup', '<div>чашка</div><div>для чая</div>');
apkg.addCard('&lt;b&gt;', 'тег &quot;жирный&quot; &#8212; &#x2116;1');
apkg.addCard('lonely', '');
apkg.addCard('die Größe', 'размер; рост');
apkg.addCard('say "cheese"', 'скажи «сыр»');
apkg.save().then(zip => fs.writeFileSync('animals.apkg', zip, 'binary'));
