<!-- Static picture: the picture is the element's background; a link or a plain block. -->
<parts>
<part name="link">
	<a title="%%hint?%%" href="%%href%%" class="ablock" style="%%style%%" id="%%id?%%"></a>
</part>
<part name="plain">
	<div title="%%hint?%%" style="%%style%%" id="%%id?%%"></div>
</part>
</parts>
