<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form method="post" action="PAGE1.XML"></form>
									<form method="post" action="PAGE1.XML" style="position: absolute; top: 16px; left: 8px; z-index: 1; font-size: 13px;">
										<xsl:if test="2 &lt;= ACCESS/@USER_LEVEL">
											<input id="INPUT1" onfocus="document.getElementById('INPUT1x').style.visibility='visible';SetInputEdited(1, event);" onblur="InputFocused[1]=0" onkeydown="SetInputEdited(1, event);" class="mono" tabindex="0" type="password" style="width: 48px; background-color: #FFFFFF; text-align: right;" name="{INPUT[1]/@NAME}" value="{INPUT[1]/@VALUE}" />
											<input type="submit" style="position: absolute; top: 0px; height: 22px; width: 22px; visibility: hidden;" id="INPUT1x" value="&gt;" />
										</xsl:if>
										<xsl:if test="2 &gt; ACCESS/@USER_LEVEL">
											<input class="mono" tabindex="0" type="password" id="INPUT1" style="width: 48px; background-color: #FFFFFF; text-align: right;" value="{INPUT[1]/@VALUE}" readonly="readonly" />
										</xsl:if>
									</form>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
