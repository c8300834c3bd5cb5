<!-- Static text: a link, or a plain text block. -->
<parts>
<part name="link">
	<a title="%%hint?%%" href="%%href%%" style="%%style%%" id="%%id?%%">%%caption%%</a>
</part>
<part name="text">
	<div title="%%hint?%%" style="%%style%%" id="%%id?%%">%%caption%%</div>
</part>
</parts>
